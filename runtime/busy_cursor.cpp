#include "runtime/busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace nobrelt::runtime {

BusyCursor::BusyCursor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    shown_ = true;
}

BusyCursor::~BusyCursor() {
    if (shown_) QGuiApplication::restoreOverrideCursor();
}

}  // namespace nobrelt::runtime
