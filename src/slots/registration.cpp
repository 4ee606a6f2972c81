#include "slots/registration.h"

namespace qlp {

void Image1_OLEDragDrop(Launcher&, int, const DropData&) {}

}  // namespace qlp
