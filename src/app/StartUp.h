#pragma once

#include <QString>

#include <functional>
#include <memory>

class TfrmSplash;

// The steps of the program's start that the entry runs, kept here so that tests run them too.
namespace StartUp {

// The application's organisation, name and version, and the title its message boxes carry. No
// display name is set: the platform would append it to the title of every window.
void setUpApplication();

// What the data module shows when the data cannot be opened: the splash, which stays on top of
// everything, goes first, so that nothing covers the box.
std::function<void(const QString &)> failureReport(std::unique_ptr<TfrmSplash> &splash);

} // namespace StartUp
