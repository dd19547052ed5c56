// The request text between player and host: the player writes it, the canvas
// reads it with Xerces-C. The format is described in framework/README.md.
#ifndef OMBRIX_FRAMEWORK_REQUEST_TEXT_H
#define OMBRIX_FRAMEWORK_REQUEST_TEXT_H

#include <cstddef>
#include <string>
#include <vector>

#include "operand.h"

namespace wyl {

struct request_text_t {
  std::string name;
  std::string call;  // the call's identifier
  std::vector<operand_t> operands;
};

// The text with &, < and > (and, for an attribute, ") written as references.
std::string escape_xml(const std::string& text, bool attribute);

// <request name=".." call=".."><text>..</text><number>..</number><boolean>..</boolean></request>
std::string write_request_text(const request_text_t& request);

// Throws std::runtime_error for a text that is not a well-formed request; one
// with a document type is refused before anything declared in it is used.
request_text_t read_request_text(const char* text, std::size_t length);

}  // namespace wyl

#endif
