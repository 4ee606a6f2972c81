#include "launcher/launch.h"

namespace qlp {

void Image1_Click(Launcher&, int) {}
void associationOpen(Launcher&, const std::string&) {}
void Hkai_Click(Launcher&) {}
void Ksw_Click(Launcher&) {}
void Command1_Click(Launcher&) {}

}  // namespace qlp
