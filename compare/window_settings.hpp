// What the comparison window remembers between runs: the inputs (the grid
// among them), the ticked schemes, presentation mode and its geometry, in
// convdiff/convdiff-compare.ini of the user's settings. Only a regular file
// is read or written; anything unreadable or out of place is passed over,
// and the defaults stand in for it.
#pragma once

#include <QString>

class QMainWindow;

namespace compare {

class InputPanel;
class TimeTab;

// Returns "" or why the settings were passed over.
// `time`, when given, keeps the Time tab's choices too.
QString LoadSettings(InputPanel& inputs, QMainWindow& window, TimeTab* time = nullptr);
void SaveSettings(const InputPanel& inputs, const QMainWindow& window, const TimeTab* time = nullptr);

}  // namespace compare
