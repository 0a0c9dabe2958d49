#pragma once

#include <QApplication>
#include <memory>

namespace markola {

// The application object as QApplication makes it, except without a display: there the
// toolkit's advice to reinstall and its abort with a core give way to one line of our own and
// exit status 1. What else the toolkit says while it starts is passed on once it has started.
std::unique_ptr<QApplication> StartApplication(int& argc, char** argv);

}  // namespace markola
