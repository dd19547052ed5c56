// The end-to-end package.
#include "package_fixture.h"

#include <filesystem>

namespace launcher_test {
namespace fs = std::filesystem;

Package::Package(const std::string& program)
    : program_(program), runner_(box_.copy_program(program, box_.package())) {}

void Package::describe(const Description& d) const {
  const auto flag = [](bool value) { return value ? "\"true\"" : "\"false\""; };
  const std::string name = program_ == "ZoltInstaller" ? "OmbrixZoltInstaller.xml" : "OmbrixZoltUninstaller.xml";
  ombrix_test::write_file(box_.package() + "/" + name,
                          "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Description>\n"
                          "  <InstallerLocation>" + d.installer_location + "</InstallerLocation>\n"
                          "  <TargetOS>Windows</TargetOS>\n"
                          "  <DeploymentInfo processorFamily=\"x64\" ignoreProcesses=" + flag(d.ignore_processes) +
                              " deleteInstallationImage=" + flag(d.delete_installation_image) + ">\n"
                          "    <Deployment><Properties/></Deployment>\n"
                          "  </DeploymentInfo>\n"
                          "  <Overrides><Configuration/></Overrides>\n</Description>\n");
}

std::string Package::place_setup(const std::string& folder) const {
  fs::create_directories(folder);
  const std::string setup = folder + "/Setup.exe";
  fs::copy_file(TEST_SETUP_PROGRAM, setup, fs::copy_options::overwrite_existing);
  return setup;
}

SetupRecord Package::record() const {
  SetupRecord r;
  r.ran = ombrix_test::file_exists(record_path());
  static_cast<layer_test::ChildRecord&>(r) = layer_test::parse_child_record(ombrix_test::read_file(record_path()));
  return r;
}

ombrix_test::RunResult Package::run(const std::vector<std::string>& args, const std::string& setup_end) const {
  return box_.run(runner_, args, {{"TEST_CHILD_RECORD", record_path()}, {"TEST_CHILD_END", setup_end}});
}

std::vector<std::string> Package::launcher_lines() const {
  const std::string tag = "SetupLauncher - ";
  std::vector<std::string> lines;
  for (const auto& line : box_.log_lines()) {
    if (line.rfind(tag, 0) == 0) lines.push_back(line.substr(tag.size()));
  }
  return lines;
}

}  // namespace launcher_test
