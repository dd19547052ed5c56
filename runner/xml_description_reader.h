// The deployment description reader: keeps the XML library started while it
// lives, reads the description, fills the run record and writes the generated
// files into the temporary folder.
#ifndef OMBRIX_RUNNER_XML_DESCRIPTION_READER_H
#define OMBRIX_RUNNER_XML_DESCRIPTION_READER_H

#include <xercesc/util/XercesDefs.hpp>

#include "installer.h"

XERCES_CPP_NAMESPACE_BEGIN
class DOMElement;
class DOMNode;
XERCES_CPP_NAMESPACE_END

class LogFile;

class XmlDescriptionReader {
 public:
  // Starts the XML library; a failure to start is ignored.
  explicit XmlDescriptionReader(InstallerSettings* settings);
  // Stops the XML library.
  ~XmlDescriptionReader();
  XmlDescriptionReader(const XmlDescriptionReader&) = delete;
  XmlDescriptionReader& operator=(const XmlDescriptionReader&) = delete;

  // 0 when the description was read, fits this computer and the generated files
  // were written; -1 otherwise, after the reason was logged. A description that
  // is not well-formed, is nested deeper than any description needs, has
  // entities that expand it beyond any description's size, or names a DTD or an
  // entity that is missing or lies on the network (a URL or a UNC path) fails with
  // ("Error", "Exception happened while parsing xml"); a local DTD or entity is
  // read from the folder of the file that names it. The removal build writes
  // "deployment.xml" only and ends there.
  int Process(const WString& path);

 private:
  // Everything after the parse: the run record's fields and the generated files.
  int ReadDescription(LogFile& log, xercesc::DOMElement& root, const WString& tempFolder);
  // Writes the header line and the node's pretty-printed serialisation in UTF-8
  // to the path, replacing the file. False when the file cannot be opened
  // (after ("Error", "Failed to create file")), the conversion buffer cannot be
  // allocated, or a write or the close fails (a full disk): a file that was not
  // written whole is never reported as created. Throws what the library throws
  // while serialising.
  bool WriteNodeToFile(const WString& path, const xercesc::DOMNode* node);

  InstallerSettings* settings;
};

#endif
