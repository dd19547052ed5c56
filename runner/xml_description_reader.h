// The deployment description reader: keeps the XML library started while it
// lives, reads the description, fills the run record and writes the generated
// files into the temporary folder.
#ifndef OMBRIX_RUNNER_XML_DESCRIPTION_READER_H
#define OMBRIX_RUNNER_XML_DESCRIPTION_READER_H

#include "installer.h"

class XmlDescriptionReader {
 public:
  // Starts the XML library; a failure to start is ignored.
  explicit XmlDescriptionReader(InstallerSettings* settings);
  // Stops the XML library.
  ~XmlDescriptionReader();
  XmlDescriptionReader(const XmlDescriptionReader&) = delete;
  XmlDescriptionReader& operator=(const XmlDescriptionReader&) = delete;

  // 0 when the description was read, fits this computer and the generated files
  // were written; -1 otherwise, after the reason was logged.
  int Process(const WString& path);

 private:
  InstallerSettings* settings;
};

#endif
