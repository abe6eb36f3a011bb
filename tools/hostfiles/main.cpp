// lettrance-hostfiles: fills the settings into the options file and the
// manual page while the program is built.
//   lettrance-hostfiles xml|man TEMPLATE OUT
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "settings/SettingsDocs.h"

int main(int argc, char** argv) {
  const std::string kind = argc == 4 ? argv[1] : "";
  if (kind != "xml" && kind != "man") {
    std::cerr << "usage: lettrance-hostfiles xml|man TEMPLATE OUT\n";
    return 2;
  }
  std::ifstream in(argv[2], std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in) {
    std::cerr << "lettrance-hostfiles: cannot read " << argv[2] << "\n";
    return 1;
  }
  const std::string filled =
      kind == "xml" ? ReplaceMarker(text.str(), "%SETTINGS_CONTROLS%\n", OptionsFileControls())
                    : ReplaceMarker(text.str(), "%SETTINGS_OPTIONS%\n", ManualPageOptions());
  std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
  out << filled;
  out.close();
  if (!out) {
    std::cerr << "lettrance-hostfiles: cannot write " << argv[3] << "\n";
    return 1;
  }
  return 0;
}
