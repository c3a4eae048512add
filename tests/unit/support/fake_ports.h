#pragma once
// Fakes of every port (one file each), and a guard that installs them for one test and puts back the ports
// that were in force before.
#include <memory>
#include <string>
#include <string_view>

#include "fake_clock.h"
#include "fake_crypto.h"
#include "fake_file_system.h"
#include "fake_http.h"
#include "fake_images.h"
#include "fake_locale.h"
#include "fake_module.h"
#include "fake_process.h"
#include "fake_registry.h"
#include "fake_system.h"
#include "fake_text.h"
#include "fake_transfer.h"
#include "fake_ui.h"
#include "platform/ports.h"
#include "recording_diagnostics.h"

namespace tessary::testing {

// Every fake, installed for the lifetime of the object.
struct FakePorts {
    FakePorts();
    ~FakePorts();
    FakePorts(const FakePorts&) = delete;
    FakePorts& operator=(const FakePorts&) = delete;

    std::shared_ptr<FakeText> text = std::make_shared<FakeText>();
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::shared_ptr<FakeSystem> system = std::make_shared<FakeSystem>();
    std::shared_ptr<FakeFileSystem> fileSystem = std::make_shared<FakeFileSystem>();
    std::shared_ptr<FakeModule> module = std::make_shared<FakeModule>();
    std::shared_ptr<FakeUi> ui = std::make_shared<FakeUi>();
    std::shared_ptr<FakeLocale> locale = std::make_shared<FakeLocale>();
    std::shared_ptr<FakeRegistry> registry = std::make_shared<FakeRegistry>();
    std::shared_ptr<FakeCrypto> crypto = std::make_shared<FakeCrypto>();
    std::shared_ptr<FakeHttp> http = std::make_shared<FakeHttp>();
    std::shared_ptr<FakeImages> images = std::make_shared<FakeImages>();
    std::shared_ptr<RecordingDiagnostics> diagnostics = std::make_shared<RecordingDiagnostics>();
    std::shared_ptr<FakeTransfer> transfer = std::make_shared<FakeTransfer>();
    std::shared_ptr<FakeProcesses> processes = std::make_shared<FakeProcesses>();

private:
    platform::Ports m_previous;
};

// Wide text from UTF-8, for readable test expectations on both wchar_t widths.
std::wstring W(std::string_view utf8);
std::string U8(std::wstring_view wide);

}  // namespace tessary::testing
