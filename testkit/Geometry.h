#pragma once
// Checks a window as a user would look at it: every visible control's text
// fits the control, and no two visible sibling controls overlap.

#include <QString>
#include <QStringList>

class QWidget;

namespace proctorium::testkit {

// One line per fault found in window and its visible descendants, naming
// the controls by objectName. Controls named in overlays may lie over their
// siblings (a warning panel over a list, for example) or reach past their
// parent's edge.
QStringList LayoutFaults(QWidget* window, const QStringList& overlays = {});

}  // namespace proctorium::testkit
