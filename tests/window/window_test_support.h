// Shared set-up of the window tests: one QApplication for the whole test program and a
// throw-away program folder.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace hk::test {

// Creates the test program's QApplication on first use.
void EnsureApplication();

// Keeps the OpenGL driver that Qt loaded in memory to the end of the process, so that the leak
// checker can still name the allocations the driver keeps (and its suppressions skip them).
// Call it while a GL widget is shown.
void KeepOpenGLDriverLoaded();

// A test whose members may be widgets: the application exists before they are made.
class QtTest : public ::testing::Test {
protected:
    QtTest() { EnsureApplication(); }
};

// A temporary folder standing in for the program's folder.
class ProgramFolder {
public:
    ProgramFolder();
    QString Dir() const { return dir_.path(); }
    QString FilePath(const QString& name) const { return dir_.filePath(name); }
    // Writes a file of raw bytes (Shift-JIS text, CR LF line ends as the caller gives them).
    void Write(const QString& name, const QByteArray& bytes) const;
    QByteArray Read(const QString& name) const;

private:
    QTemporaryDir dir_;
};

} // namespace hk::test
