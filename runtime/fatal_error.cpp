#include "runtime/fatal_error.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "runtime/text.h"

namespace nobrelt::runtime {

void FatalError(std::string_view message) {
    std::fprintf(stderr, "nobrelt: %.*s\n", static_cast<int>(message.size()), message.data());
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
        QMessageBox::critical(nullptr, QStringLiteral("Nobrelt"), ToQString(message));
    // Windows and files are left to the system: nothing the program holds can be trusted now.
    std::_Exit(EXIT_FAILURE);
}

}  // namespace nobrelt::runtime
