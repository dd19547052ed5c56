// read_request_text: the request text through Xerces-C's DOM parser.
#include <cstring>
#include <mutex>
#include <stdexcept>

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/HandlerBase.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/TransService.hpp>

#include "request_text.h"

namespace wyl {

namespace {

namespace xml = xercesc;

[[noreturn]] void malformed(const std::string& fault) {
  throw std::runtime_error("malformed request: " + fault);
}

std::string utf8(const XMLCh* text) {
  if (text == nullptr) return std::string();
  xml::TranscodeToStr bytes(text, "UTF-8");
  return std::string(reinterpret_cast<const char*>(bytes.str()), bytes.length());
}

// Every fault of the parser, errors included, ends the parse.
class throwing_handler : public xml::HandlerBase {
 public:
  void error(const xml::SAXParseException& e) override { malformed(utf8(e.getMessage())); }
  void fatalError(const xml::SAXParseException& e) override { malformed(utf8(e.getMessage())); }
};

// The request format has no document type. One is refused as soon as the
// parser meets it, before any declaration in it is read, so that no entity is
// ever expanded or fetched; should one get past, the library's expansion limit
// holds and nothing is looked for outside the text.
class request_parser : public xml::XercesDOMParser {
 public:
  explicit request_parser(xml::ErrorHandler& errors) {
    setValidationScheme(Val_Never);
    setDoNamespaces(false);
    setLoadExternalDTD(false);
    setCreateEntityReferenceNodes(false);
    setDisableDefaultEntityResolution(true);
    setSecurityManager(&limits_);
    setErrorHandler(&errors);
  }
  void doctypeDecl(const xml::DTDElementDecl&, const XMLCh*, const XMLCh*, bool, bool) override {
    malformed("a document type");
  }

 private:
  xml::SecurityManager limits_;
};

void start_xerces() {
  static std::once_flag started;
  std::call_once(started, [] { xml::XMLPlatformUtils::Initialize(); });
}

std::string attribute(const xml::DOMElement& element, const char* name) {
  xml::TranscodeFromStr key(reinterpret_cast<const XMLByte*>(name), std::strlen(name), "UTF-8");
  const xml::DOMAttr* node = element.getAttributeNode(key.str());
  if (node == nullptr) malformed(std::string("no ") + name + " attribute");
  return utf8(node->getValue());
}

// The element's character data; it may hold nothing else.
std::string character_data(const xml::DOMElement& element) {
  for (const xml::DOMNode* n = element.getFirstChild(); n != nullptr; n = n->getNextSibling()) {
    const auto type = n->getNodeType();
    if (type != xml::DOMNode::TEXT_NODE && type != xml::DOMNode::CDATA_SECTION_NODE) {
      malformed("an operand holds more than text");
    }
  }
  if (element.getAttributes()->getLength() != 0) malformed("an operand with attributes");
  return utf8(element.getTextContent());
}

operand_t read_operand_element(const xml::DOMElement& element) {
  const std::string kind = utf8(element.getTagName());
  const std::string data = character_data(element);
  if (kind == "text") return text_operand(data);
  if (kind == "boolean" && (data == "true" || data == "false")) return boolean_operand(data == "true");
  if (kind == "number") {
    try {
      return number_operand(read_number(data));
    } catch (const syntax_error&) {
      malformed("bad number " + data);
    }
  }
  malformed("bad operand <" + kind + ">" + data);
}

bool blank(const XMLCh* text) {
  for (; *text != 0; ++text) {
    if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r') return false;
  }
  return true;
}

request_text_t read_document(const xml::DOMDocument& document) {
  const xml::DOMElement* root = document.getDocumentElement();
  if (root == nullptr || utf8(root->getTagName()) != "request") malformed("the root is not <request>");
  if (root->getAttributes()->getLength() != 2) malformed("<request> takes name and call");
  request_text_t request{attribute(*root, "name"), attribute(*root, "call"), {}};
  for (const xml::DOMNode* n = root->getFirstChild(); n != nullptr; n = n->getNextSibling()) {
    if (n->getNodeType() == xml::DOMNode::ELEMENT_NODE) {
      request.operands.push_back(read_operand_element(*static_cast<const xml::DOMElement*>(n)));
    } else if (n->getNodeType() != xml::DOMNode::TEXT_NODE || !blank(n->getNodeValue())) {
      malformed("<request> holds more than operands");
    }
  }
  return request;
}

}  // namespace

request_text_t read_request_text(const char* text, std::size_t length) {
  start_xerces();
  throwing_handler handler;
  request_parser parser(handler);
  xml::MemBufInputSource source(reinterpret_cast<const XMLByte*>(text), length, "request");
  source.setEncoding(xml::XMLUni::fgUTF8EncodingString);
  try {
    parser.parse(source);
  } catch (const xml::XMLException& e) {
    malformed(utf8(e.getMessage()));
  } catch (const xml::DOMException& e) {
    malformed(utf8(e.getMessage()));
  }
  if (parser.getErrorCount() != 0 || parser.getDocument() == nullptr) malformed("not well-formed");
  return read_document(*parser.getDocument());
}

}  // namespace wyl
