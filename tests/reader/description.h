// Deployment descriptions for the reader's tests, built from their parts.
#ifndef OMBRIX_TESTS_READER_DESCRIPTION_H
#define OMBRIX_TESTS_READER_DESCRIPTION_H

#include <string>

namespace ombrix_test {

// A DeploymentInfo element with its processorFamily, more attributes (each with
// its leading blank) and content.
inline std::string Info(const std::string& family, const std::string& deployment,
                        const std::string& attributes = "") {
  return "<DeploymentInfo processorFamily=\"" + family + "\"" + attributes + ">" + deployment + "</DeploymentInfo>";
}

inline std::string EmptyDeployment(const std::string& id) { return "<Deployment id=\"" + id + "\"/>"; }

// A description from its parts, each of which a test may replace or leave out.
// No blanks between elements, so that the generated files hold only the
// library's own layout.
struct Description {
  std::string location = "<InstallerLocation>..\\Image</InstallerLocation>";
  std::string target = "<TargetOS>Windows</TargetOS>";
  std::string infos = Info("x64", EmptyDeployment("x64"));
  std::string overrides = "<Overrides><Configuration id=\"c\"/></Overrides>";

  std::string text() const { return "<Package>" + location + target + infos + overrides + "</Package>"; }
};

}  // namespace ombrix_test

#endif
