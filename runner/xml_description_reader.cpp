// The deployment description reader. Until the XML reading is built, the reader
// reads nothing: Process fails without a line of its own.
#include "xml_description_reader.h"

XmlDescriptionReader::XmlDescriptionReader(InstallerSettings* settings) : settings(settings) {}

XmlDescriptionReader::~XmlDescriptionReader() = default;

int XmlDescriptionReader::Process(const WString&) { return -1; }
