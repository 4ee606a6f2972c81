#pragma once
// What a screen reader hears of the widgets that paint themselves: the page
// number and the description line read as their text, a slot as what it starts.

class QWidget;

namespace qlp::linux_desktop {

// Lets the accessibility bridge ask our widgets; once per process.
void installAccessibleInterfaces();

// Tells a listening screen reader that a shown widget's accessible name
// changed. Costs nothing before the window is shown.
void announceNameChange(QWidget* widget);

}  // namespace qlp::linux_desktop
