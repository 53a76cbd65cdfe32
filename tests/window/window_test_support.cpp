// One QApplication per test program, and temporary program folders.
#include "tests/window/window_test_support.h"

#include <QApplication>
#include <QFile>

#include <fstream>
#include <memory>
#include <string>

#include <dlfcn.h>

namespace hk::test {

namespace {

// The application must go before the process's exit handlers run (Qt's own clean-up routines
// crash when called from them), so a test environment ends it after the last test.
class ApplicationEnvironment : public ::testing::Environment {
public:
    QApplication& Application() {
        if (!application_) {
            application_ = std::make_unique<QApplication>(argc_, argv_);
        }
        return *application_;
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[13] = "window_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

ApplicationEnvironment* const environment = static_cast<ApplicationEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment));

} // namespace

void EnsureApplication() {
    environment->Application();
}

void KeepOpenGLDriverLoaded() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        const std::size_t path = line.find('/');
        if (path != std::string::npos && line.find("_dri.so") != std::string::npos) {
            // A second reference that is never released; RTLD_NOLOAD never loads anything new.
            dlopen(line.substr(path).c_str(), RTLD_NOW | RTLD_NOLOAD);
            return;
        }
    }
}

ProgramFolder::ProgramFolder() {
    EXPECT_TRUE(dir_.isValid());
}

void ProgramFolder::Write(const QString& name, const QByteArray& bytes) const {
    QFile file(FilePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray ProgramFolder::Read(const QString& name) const {
    QFile file(FilePath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

} // namespace hk::test
