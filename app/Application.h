#pragma once
// Builds the program's long-lived objects in their start-up order and owns
// the platform services they share.
#include "platform/Services.h"

#include <memory>

namespace tp {

class TfrmMain;

class Application {
public:
    Application();
    ~Application();
    TfrmMain& mainWindow() const { return *main_; }
    const Services& services() const { return services_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    Services services_;
    TfrmMain* main_ = nullptr;
};

} // namespace tp
