#include "request_text.h"

namespace wyl {

std::string escape_xml(const std::string& text, bool attribute) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"':
        out += attribute ? "&quot;" : "\"";
        break;
      case '\r': out += "&#13;"; break;  // a parser would turn a bare CR into LF
      default: out += c;
    }
  }
  return out;
}

std::string write_request_text(const request_text_t& request) {
  std::string out = "<request name=\"" + escape_xml(request.name, true) + "\" call=\"" +
                    escape_xml(request.call, true) + "\">";
  for (const operand_t& o : request.operands) {
    switch (o.kind) {
      case operand_t::text: out += "<text>" + escape_xml(o.characters, false) + "</text>"; break;
      case operand_t::number: out += "<number>" + format_number(o.value) + "</number>"; break;
      case operand_t::boolean: out += o.truth ? "<boolean>true</boolean>" : "<boolean>false</boolean>"; break;
    }
  }
  return out + "</request>";
}

}  // namespace wyl
