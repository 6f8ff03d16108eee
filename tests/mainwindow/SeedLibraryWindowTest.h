#pragma once

// A main window started as the program starts it, over a library of the
// test's own (as a rule made from the seed files), with its settings, engine
// data and user all private to the test.

#include "mainwindow/FormMain.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QList>
#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <utility>

// Readable failure output for the texts the tests compare.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

class SeedLibraryWindowTest : public ::testing::Test {
protected:
    // Each pair: a seed file and where it goes below the library folder.
    using SeedPlacement = std::pair<QString, QString>;

    // Copies the seeds, then starts the window on the library folder.
    void startWindow(const QList<SeedPlacement>& seeds);
    // Starts the window as the program does, on the library at path.
    void startWindowOn(const QString& path);
    void TearDown() override;

    testing_support::TempFolder library;
    testing_support::TempFolder data;
    testing_support::TempFolder settings;
    testing_support::ScriptedUi ui;
    std::unique_ptr<mainwindow::FormMain> window;
};
