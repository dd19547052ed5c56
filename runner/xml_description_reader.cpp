// The deployment description reader: parses the description with Xerces-C,
// checks it against this computer, chooses the deployment entry, rewrites its
// folder tokens and writes the generated files.
#include "xml_description_reader.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/InputSource.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/BinInputStream.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLEntityResolver.hpp>
#include <xercesc/util/XMLResourceIdentifier.hpp>
#include <xercesc/util/XMLString.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "log_file.h"
#include "system_string.h"

using xercesc::BinInputStream;
using xercesc::DOMConfiguration;
using xercesc::DOMElement;
using xercesc::DOMImplementationLS;
using xercesc::DOMImplementationRegistry;
using xercesc::DOMLSSerializer;
using xercesc::DOMNode;
using xercesc::DOMNodeList;
using xercesc::ErrorHandler;
using xercesc::InputSource;
using xercesc::MemoryManager;
using xercesc::OutOfMemoryException;
using xercesc::RefVectorOf;
using xercesc::SAXParseException;
using xercesc::SecurityManager;
using xercesc::XercesDOMParser;
using xercesc::XMLAttr;
using xercesc::XMLElementDecl;
using xercesc::XMLEntityDecl;
using xercesc::XMLEntityResolver;
using xercesc::XMLException;
using xercesc::XMLPlatformUtils;
using xercesc::XMLResourceIdentifier;
using xercesc::XMLString;
using xercesc::XMLUni;

namespace {

const char kComponent[] = "ZoltApp";
const char kFileHeader[] = "<?xml version='1.0' encoding='utf-8'?>\n";

// Far deeper than any description, and shallow enough that the library's
// recursive walks of a subtree (text content, serialisation) stay well inside a
// 32-bit program's 1 MB stack.
constexpr int kMaxNesting = 256;

// Entity references the library expands in one description, in text and in
// attribute values alike. Descriptions seldom use entities at all; each
// expansion costs the library a reader of its own, so its default of 50,000
// let a few hundred bytes of nested entities hold the reading for seconds
// before any limit stopped them.
constexpr XMLSize_t kMaxEntityExpansions = 1000;

// ---- Text between the wide strings of the runner and the library's XMLCh ----

// XMLCh is the wide character on some platforms and not on others; copying the
// units one by one needs no cast on either.
using XmlString = std::basic_string<XMLCh>;

XmlString ToXml(const WString& text) { return XmlString(text.begin(), text.end()); }

WString FromXml(const XMLCh* text) {
  if (text == nullptr) return WString();
  return WString(text, text + XMLString::stringLen(text));
}

unsigned LowerAscii(WCHAR c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

// Equal ignoring the case of the ASCII letters, as the C run-time compares in its
// default locale; every word the reader compares so is ASCII.
bool SameIgnoringCase(const WString& text, const WString& word) {
  return text.size() == word.size() &&
         std::equal(text.begin(), text.end(), word.begin(),
                    [](WCHAR a, WCHAR b) { return LowerAscii(a) == LowerAscii(b); });
}

// ---- DOM lookups ----

DOMElement* AsElement(DOMNode* node) {
  return node != nullptr && node->getNodeType() == DOMNode::ELEMENT_NODE ? static_cast<DOMElement*>(node)
                                                                          : nullptr;
}

// Every element of the name below the element (never the element itself), in
// document order. The list's length is taken once: each call walks the subtree.
std::vector<DOMElement*> ElementsBelow(const DOMElement& element, const WString& name) {
  DOMNodeList* list = element.getElementsByTagName(ToXml(name).c_str());
  const XMLSize_t length = list->getLength();
  std::vector<DOMElement*> found;
  found.reserve(length);
  for (XMLSize_t i = 0; i < length; ++i) {
    if (DOMElement* item = AsElement(list->item(i))) found.push_back(item);
  }
  return found;
}

DOMElement* FirstElementBelow(const DOMElement& element, const WString& name) {
  return AsElement(element.getElementsByTagName(ToXml(name).c_str())->item(0));
}

WString TextOf(const DOMElement& element) { return FromXml(element.getTextContent()); }

// A missing attribute reads as the empty text.
WString AttributeOf(const DOMElement& element, const WString& name) {
  return FromXml(element.getAttribute(ToXml(name).c_str()));
}

// ---- Reading the description's files ----

struct FileClose {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileClose>;

FilePtr OpenFile(const WString& path, const WCHAR* mode) {
  const SystemString copy(path);
  return FilePtr(_wfopen(copy.get(), mode));
}

// The bytes of an open file, for the parser.
class FileStream : public BinInputStream {
 public:
  explicit FileStream(FilePtr file) : file_(std::move(file)) {}
  XMLFilePos curPos() const override { return position_; }
  XMLSize_t readBytes(XMLByte* const toFill, const XMLSize_t maxToRead) override {
    const std::size_t read = std::fread(toFill, 1, maxToRead, file_.get());
    position_ += read;
    return read;
  }
  const XMLCh* getContentType() const override { return nullptr; }

 private:
  FilePtr file_;
  XMLFilePos position_ = 0;
};

// A file of the description (the description itself, or a DTD or entity that it
// names) by its Windows path, opened through the C run-time as the runner opens
// every file, so that the library reads it alike on every platform; the path is
// also the file's system identifier. A file that cannot be opened is a fatal
// error of the parse.
class DescriptionSource : public InputSource {
 public:
  explicit DescriptionSource(const WString& path) : InputSource(ToXml(path).c_str()), path_(path) {}
  BinInputStream* makeStream() const override {
    FilePtr file = OpenFile(path_, TEXT("rb"));
    return file == nullptr ? nullptr : new FileStream(std::move(file));
  }

 private:
  WString path_;
};

bool IsSeparator(WCHAR c) { return c == TEXT('\\') || c == TEXT('/'); }

bool IsSchemeCharacter(WCHAR c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' ||
         c == '.';
}

// True for a system identifier that names a place on the network: a UNC path,
// or a URL (a scheme of two or more characters before a colon; one letter and a
// colon is a drive).
bool NamesTheNetwork(const WString& id) {
  if (id.size() >= 2 && IsSeparator(id[0]) && IsSeparator(id[1])) return true;
  const std::size_t colon = id.find(TEXT(':'));
  if (colon == WString::npos || colon < 2) return false;
  return std::all_of(id.begin(), id.begin() + static_cast<std::ptrdiff_t>(colon), IsSchemeCharacter);
}

// A relative identifier names a file in the folder of the file that names it
// (the description, or the DTD that declares an entity), as the library's own
// resolution takes it; a path with a drive or from the root stands as written.
WString ResolveAgainst(const WString& base, const WString& id) {
  if ((!id.empty() && IsSeparator(id[0])) || (id.size() >= 2 && id[1] == TEXT(':'))) return id;
  const std::size_t folderEnd = base.find_last_of(TEXT("\\/"));
  return folderEnd == WString::npos ? id : base.substr(0, folderEnd + 1) + id;
}

// The DTDs and external entities of a description are local files: each is read
// as the description is, and one that names the network ends the reading, so
// that nothing is ever fetched from elsewhere.
class LocalEntities : public XMLEntityResolver {
 public:
  InputSource* resolveEntity(XMLResourceIdentifier* resource) override {
    const WString id = FromXml(resource->getSystemId());
    if (NamesTheNetwork(id)) throw std::runtime_error("an entity on the network");
    return new DescriptionSource(ResolveAgainst(FromXml(resource->getBaseURI()), id));
  }
};

// ---- The parser ----

// Far more than any description needs (100,000 properties take under 100 MB),
// and far less than a 32-bit program can address.
constexpr XMLSize_t kParserMemoryBudget = 256u << 20;

// The parser's memory: the library's own manager, as long as no more than
// kParserMemoryBudget bytes are in use. Entities can make a small description
// expand without end; past the budget the library's out-of-memory exception
// ends the reading in the catch-all instead of the machine's memory.
class BudgetedMemory : public MemoryManager {
 public:
  MemoryManager* getExceptionMemoryManager() override { return XMLPlatformUtils::fgMemoryManager; }
  void* allocate(XMLSize_t size) override {
    if (size > kParserMemoryBudget - inUse_) throw OutOfMemoryException();
    auto* block = static_cast<unsigned char*>(XMLPlatformUtils::fgMemoryManager->allocate(size + kHeader));
    std::memcpy(block, &size, sizeof size);
    inUse_ += size;
    return block + kHeader;
  }
  void deallocate(void* p) override {
    if (p == nullptr) return;
    unsigned char* block = static_cast<unsigned char*>(p) - kHeader;
    XMLSize_t size = 0;
    std::memcpy(&size, block, sizeof size);
    inUse_ -= size;
    XMLPlatformUtils::fgMemoryManager->deallocate(block);
  }

 private:
  // Before each block its size, in room that keeps the block aligned as the
  // library's own blocks are.
  static constexpr std::size_t kHeader = std::max(sizeof(XMLSize_t), alignof(std::max_align_t));
  XMLSize_t inUse_ = 0;
};

// Turns the library's fatal errors (a description that is not well-formed, a
// file that cannot be read) into an exception, so that no part of a broken
// description is ever used. Errors of validity are no failure: the format has no
// grammar, and the scheme "always" reports every element of such a description.
class FatalErrorThrower : public ErrorHandler {
 public:
  void warning(const SAXParseException&) override {}
  void error(const SAXParseException&) override {}
  void fatalError(const SAXParseException& exception) override { throw exception; }
  void resetErrors() override {}
};

// The DOM parser with the reader's settings (validation scheme "always",
// namespaces on), the handler of fatal errors, a limit of kMaxEntityExpansions
// on entity expansions, and DTDs and entities from local files only. It
// refuses a description nested deeper than kMaxNesting elements and entity
// references before the library's recursive walks could exhaust the stack.
class DescriptionParser : public XercesDOMParser {
 public:
  explicit DescriptionParser(MemoryManager& memory)
      : XercesDOMParser(/*valToAdopt=*/nullptr, &memory, /*gramPool=*/nullptr) {
    setValidationScheme(Val_Always);
    setDoNamespaces(true);
    setErrorHandler(&errors_);
    limits_.setEntityExpansionLimit(kMaxEntityExpansions);
    setSecurityManager(&limits_);
    setXMLEntityResolver(&entities_);
    setDisableDefaultEntityResolution(true);  // nothing the resolver leaves is looked for elsewhere
  }

  void startElement(const XMLElementDecl& declaration, unsigned int uriId, const XMLCh* prefix,
                    const RefVectorOf<XMLAttr>& attributes, XMLSize_t attributeCount, bool isEmpty,
                    bool isRoot) override {
    Enter();
    XercesDOMParser::startElement(declaration, uriId, prefix, attributes, attributeCount, isEmpty, isRoot);
    if (isEmpty) Leave();  // the library's interface: no endElement follows an empty element
  }
  void endElement(const XMLElementDecl& declaration, unsigned int uriId, bool isRoot,
                  const XMLCh* prefix) override {
    XercesDOMParser::endElement(declaration, uriId, isRoot, prefix);
    Leave();
  }
  void startEntityReference(const XMLEntityDecl& entity) override {
    Enter();
    XercesDOMParser::startEntityReference(entity);
  }
  void endEntityReference(const XMLEntityDecl& entity) override {
    XercesDOMParser::endEntityReference(entity);
    Leave();
  }

 private:
  void Enter() {
    if (++depth_ > kMaxNesting) throw std::runtime_error("description nested too deeply");
  }
  void Leave() { --depth_; }

  FatalErrorThrower errors_;
  LocalEntities entities_;
  SecurityManager limits_;
  int depth_ = 0;
};

using ParserPtr = std::unique_ptr<DescriptionParser>;

// Null when the parser cannot be made.
ParserPtr CreateParser(MemoryManager& memory) {
  try {
    return ParserPtr(new DescriptionParser(memory));
  } catch (const OutOfMemoryException&) {
    return nullptr;
  }
}

// The document element of the parsed description; null when the document has
// none.
DOMElement* ParseDescription(DescriptionParser& parser, const WString& path) {
  parser.parse(DescriptionSource(path));
  xercesc::DOMDocument* document = parser.getDocument();
  if (document == nullptr) throw std::runtime_error("Empty XML document!!");
  return AsElement(document->getDocumentElement());
}

// ---- The computer ----

// Ends in a backslash. The result is not tested: a folder too long for the
// buffer leaves it empty, and the generated files then go to the root of the
// current drive.
WString TemporaryFolder() {
  WCHAR folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return folder;
}

// The BOOL that IsWow64Process gives for this process; false where the kernel
// has no such function. Looked up at run time: older 32-bit Windows lacks it.
bool RunsUnderWow64() {
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
  const FARPROC found = GetProcAddress(GetModuleHandleW(TEXT("kernel32")), "IsWow64Process");
  BOOL wow64 = FALSE;
  if (found != nullptr) {
    // Through void (*)(), the generic function pointer, as FARPROC stands for any export.
    reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void (*)()>(found))(GetCurrentProcess(), &wow64);
  }
  return wow64 != FALSE;
}

// ---- Folder tokens of the INSTALLDIR properties ----

// Fills the folder for a token; false when it cannot be had.
using FolderSource = bool (*)(bool wow64, WString& folder);

bool ProgramFilesFolder(bool wow64, WString& folder) {
  WCHAR buffer[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(/*hwndOwner=*/nullptr, buffer, CSIDL_PROGRAM_FILES, /*fCreate=*/TRUE)) return false;
  folder = buffer;
  if (!wow64) return true;
  // A 32-bit program on 64-bit Windows is given the folder whose name ends in
  // " (x86)"; without those six characters it is the 64-bit Program Files.
  const std::size_t cut = !folder.empty() && folder.back() == TEXT('\\') ? 7 : 6;
  if (folder.size() < cut) return false;
  folder.resize(folder.size() - cut);
  return true;
}

bool SystemDrive(bool, WString& folder) {
  WCHAR buffer[MAX_PATH] = {};
  GetWindowsDirectoryW(buffer, MAX_PATH);
  folder = buffer;
  if (folder.size() < 2) return false;
  folder.resize(2);  // the drive letter and its colon
  return true;
}

struct FolderToken {
  const WCHAR* token;
  FolderSource folder;
  const WCHAR* suffix;  // put between the folder and the rest of the text
};

const FolderToken kFolderTokens[] = {
    {TEXT("[ProgramFiles]"), ProgramFilesFolder, TEXT("")},
    {TEXT("[OmbrixProgramFiles]"), ProgramFilesFolder, TEXT("\\Ombrix")},
    {TEXT("[SysDrive]"), SystemDrive, TEXT("")},
};

// The text with the folder token at its very start replaced. False, and the text
// is kept, when it begins with no token (case matters), the folder cannot be had,
// or the result would not fit a path buffer of MAX_PATH.
bool ReplaceFolderToken(const WString& text, bool wow64, WString& rewritten) {
  for (const FolderToken& entry : kFolderTokens) {
    const WString token = entry.token;
    if (text.compare(0, token.size(), token) != 0) continue;
    WString folder;
    if (!entry.folder(wow64, folder)) return false;
    rewritten = folder + entry.suffix + text.substr(token.size());
    return rewritten.size() < MAX_PATH;
  }
  return false;
}

// Only the INSTALLDIR properties of the first Properties element are rewritten.
void RewriteInstallDirs(const DOMElement& deployment, bool wow64) {
  const DOMElement* properties = FirstElementBelow(deployment, TEXT("Properties"));
  if (properties == nullptr) return;
  for (DOMElement* property : ElementsBelow(*properties, TEXT("Property"))) {
    WString rewritten;
    if (AttributeOf(*property, TEXT("name")) == TEXT("INSTALLDIR") &&
        ReplaceFolderToken(TextOf(*property), wow64, rewritten)) {
      property->setTextContent(ToXml(rewritten).c_str());
    }
  }
}

// ---- The steps of the reading ----

bool ReadInstallerLocation(LogFile& log, const DOMElement& root, InstallerSettings& settings) {
  const DOMElement* location = FirstElementBelow(root, TEXT("InstallerLocation"));
  if (location == nullptr) {
    log.Write(kComponent, "Error", "Error in getting installer location");
    return false;
  }
  settings.installerLocation = TextOf(*location);
  return true;
}

bool CheckTargetOs(LogFile& log, const DOMElement& root) {
  const DOMElement* target = FirstElementBelow(root, TEXT("TargetOS"));
  if (target == nullptr) {
    log.Write(kComponent, "Error", "Error in getting TargetOS node");
    return false;
  }
  if (!SameIgnoringCase(TextOf(*target), kWindowsName)) {
    log.Write(kComponent, "Error", "Wrong target OS detected");
    return false;
  }
  log.Write(kComponent, "XML", "Correct target OS detected");
  return true;
}

bool DetectMachine(LogFile& log) {
  const bool wow64 = RunsUnderWow64();
  log.Write(kComponent, "XML", wow64 ? "64 bit machine found" : "32 bit machine found");
  return wow64;
}

// The first DeploymentInfo whose processorFamily names this machine; an "x64"
// one also serves a 32-bit machine when it is the description's only entry.
DOMElement* ChooseDeploymentInfo(LogFile& log, const DOMElement& root, bool wow64) {
  const std::vector<DOMElement*> infos = ElementsBelow(root, TEXT("DeploymentInfo"));
  if (infos.empty()) {
    log.Write(kComponent, "Error", "Error in getting deployment info node");
    return nullptr;
  }
  const WString machine = wow64 ? TEXT("x64") : TEXT("All");
  for (DOMElement* info : infos) {
    const WString family = AttributeOf(*info, TEXT("processorFamily"));
    if (SameIgnoringCase(family, machine) || (infos.size() == 1 && SameIgnoringCase(family, TEXT("x64")))) {
      return info;
    }
  }
  log.Write(kComponent, "XML", "Unable to create deployment.xml file");
  return nullptr;
}

void ReadFlags(const DOMElement& info, InstallerSettings& settings) {
  settings.skipProcessCheck = SameIgnoringCase(AttributeOf(info, TEXT("ignoreProcesses")), TEXT("true"));
  settings.deleteInstallationImage =
      SameIgnoringCase(AttributeOf(info, TEXT("deleteInstallationImage")), TEXT("true"));
}

// The Deployment element of the entry for this machine, its INSTALLDIR texts
// rewritten; null after the failure was logged.
DOMElement* PrepareDeployment(LogFile& log, const DOMElement& root, InstallerSettings& settings) {
  if (!ReadInstallerLocation(log, root, settings) || !CheckTargetOs(log, root)) return nullptr;
  const bool wow64 = DetectMachine(log);
  const DOMElement* info = ChooseDeploymentInfo(log, root, wow64);
  if (info == nullptr) return nullptr;
  ReadFlags(*info, settings);
  DOMElement* deployment = FirstElementBelow(*info, TEXT("Deployment"));
  if (deployment == nullptr) {
    log.Write(kComponent, "Error", "Error in getting deployment node");
    return nullptr;
  }
  RewriteInstallDirs(*deployment, wow64);
  return deployment;
}

// The Configuration element of the Overrides; null after the failure was logged.
const DOMElement* FindConfiguration(LogFile& log, const DOMElement& root) {
  const DOMElement* overrides = FirstElementBelow(root, TEXT("Overrides"));
  if (overrides == nullptr) {
    log.Write(kComponent, "Error", "Error in getting Overrides node");
    return nullptr;
  }
  const DOMElement* configuration = FirstElementBelow(*overrides, TEXT("Configuration"));
  if (configuration == nullptr) log.Write(kComponent, "Error", "Error in getting configuration node");
  return configuration;
}

// The lines of one generated file.
struct GeneratedFile {
  const char* failureTag;
  const char* failure;
  const char* created;
};

const GeneratedFile kDeploymentOutput{"XML", "Unable to create deployment.xml file", "Created deployment.xml file"};
const GeneratedFile kOverrideOutput{"Error", "Unable to create application.xml.override file",
                                    "Created application.xml.override file"};

// Logs how the writing of a generated file ended; true when it was written.
bool ReportWriting(LogFile& log, bool written, const GeneratedFile& file) {
  if (written) {
    log.Write(kComponent, "XML", file.created);
  } else {
    log.Write(kComponent, file.failureTag, file.failure);
  }
  return written;
}

// ---- Writing a generated file ----

struct SerializerRelease {
  void operator()(DOMLSSerializer* writer) const { writer->release(); }
};
using SerializerPtr = std::unique_ptr<DOMLSSerializer, SerializerRelease>;

SerializerPtr CreatePrettyWriter() {
  XMLCh features[100];
  XMLString::transcode("LS", features, 99, XMLPlatformUtils::fgMemoryManager);
  DOMImplementationLS* implementation = DOMImplementationRegistry::getDOMImplementation(features);
  SerializerPtr writer(implementation->createLSSerializer(XMLPlatformUtils::fgMemoryManager));
  DOMConfiguration* configuration = writer->getDomConfig();
  if (configuration->canSetParameter(XMLUni::fgDOMWRTFormatPrettyPrint, true)) {
    configuration->setParameter(XMLUni::fgDOMWRTFormatPrettyPrint, true);
  }
  return writer;
}

struct XmlTextRelease {
  void operator()(XMLCh* text) const { XMLString::release(&text); }
};

WString Serialise(DOMLSSerializer& writer, const DOMNode& node) {
  const std::unique_ptr<XMLCh, XmlTextRelease> text(writer.writeToString(&node));
  return FromXml(text.get());
}

struct MallocFree {
  void operator()(char* bytes) const { std::free(bytes); }
};
using MallocBytes = std::unique_ptr<char[], MallocFree>;

// The text in UTF-8, without a NUL, in a block from malloc; null when the block
// cannot be allocated.
MallocBytes ToUtf8(const WString& text, int& size) {
  const int length = static_cast<int>(text.size());
  size = WideCharToMultiByte(CP_UTF8, /*dwFlags=*/0, text.c_str(), length, nullptr, 0, nullptr, nullptr);
  MallocBytes bytes(static_cast<char*>(std::malloc(static_cast<std::size_t>(size))));
  if (bytes != nullptr) {
    WideCharToMultiByte(CP_UTF8, /*dwFlags=*/0, text.c_str(), length, bytes.get(), size, nullptr, nullptr);
  }
  return bytes;
}

}  // namespace

XmlDescriptionReader::XmlDescriptionReader(InstallerSettings* settings) : settings(settings) {
  try {
    XMLPlatformUtils::Initialize(XMLUni::fgXercescDefaultLocale);
  } catch (const XMLException&) {
    // Ignored: the reader goes on as if the library had started.
  }
}

XmlDescriptionReader::~XmlDescriptionReader() { XMLPlatformUtils::Terminate(); }

int XmlDescriptionReader::Process(const WString& path) {
  LogFile& log = LogOrDiscard(GetLog());
  const WString tempFolder = TemporaryFolder();
  BudgetedMemory memory;  // outlives the parser, its document and its exceptions
  const ParserPtr parser = CreateParser(memory);
  if (parser == nullptr) return -1;
  try {
    DOMElement* root = ParseDescription(*parser, path);
    return root == nullptr ? -1 : ReadDescription(log, *root, tempFolder);
  } catch (...) {
    log.Write(kComponent, "Error", "Exception happened while parsing xml");
    return -1;
  }
}

int XmlDescriptionReader::ReadDescription(LogFile& log, DOMElement& root, const WString& tempFolder) {
  const DOMElement* deployment = PrepareDeployment(log, root, *settings);
  if (deployment == nullptr) return -1;
  settings->deploymentFile = tempFolder + kDeploymentFileName;
  if (!ReportWriting(log, WriteNodeToFile(settings->deploymentFile, deployment), kDeploymentOutput)) return -1;
  if (kRemovalBuild) return 0;  // the removal build has no override file
  const DOMElement* configuration = FindConfiguration(log, root);
  if (configuration == nullptr) return -1;
  settings->overrideFile = tempFolder + kOverrideFileName;
  if (!ReportWriting(log, WriteNodeToFile(settings->overrideFile, configuration), kOverrideOutput)) return -1;
  return 0;
}

bool XmlDescriptionReader::WriteNodeToFile(const WString& path, const DOMNode* node) {
  LogFile& log = LogOrDiscard(GetLog());
  const SerializerPtr writer = CreatePrettyWriter();
  FilePtr file = OpenFile(path, TEXT("wb"));  // replaces the file; line ends stay as written
  if (file == nullptr) {
    log.Write(kComponent, "Error", "Failed to create file");
    return false;
  }
  int size = 0;
  const MallocBytes bytes = ToUtf8(Serialise(*writer, *node), size);
  if (bytes == nullptr) return false;
  const std::size_t headerSize = sizeof kFileHeader - 1;
  const bool written = std::fwrite(kFileHeader, 1, headerSize, file.get()) == headerSize &&
                       std::fwrite(bytes.get(), 1, static_cast<std::size_t>(size), file.get()) ==
                           static_cast<std::size_t>(size);
  // What is still buffered reaches the file at the close: a full disk may show only there.
  const bool closed = std::fclose(file.release()) == 0;
  return written && closed;
}
