#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

namespace inkvale::test {

// Points HOME, the XDG folders and the temporary folder at a fresh folder for the life of the
// test program, so that no test touches the real home or a shared /tmp entry.
class TestEnvironment
{
public:
    TestEnvironment();
    QString root() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
};

// A small picture written as `path`, in the format its extension names where Qt can
// write it, else as PNG; returns success.
bool writePicture(const QString &path, int width, int height);

// `bytes` written as the file `path`; returns success.
bool writeFile(const QString &path, const QByteArray &bytes);

} // namespace inkvale::test

// QTEST_GUILESS_MAIN in a fresh home; the Gui module is loaded for image codecs only.
#define INKVALE_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        inkvale::test::TestEnvironment environment;                                                \
        QCoreApplication app(argc, argv);                                                          \
        QStandardPaths::setTestModeEnabled(true);                                                  \
        TestClass test;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

// The same for tests that drive windows (run with QT_QPA_PLATFORM=offscreen).
#define INKVALE_GUI_TEST_MAIN(TestClass)                                                           \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        inkvale::test::TestEnvironment environment;                                                \
        QApplication app(argc, argv);                                                              \
        QStandardPaths::setTestModeEnabled(true);                                                  \
        TestClass test;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
