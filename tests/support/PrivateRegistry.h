#pragma once

// Both settings stores in a private folder for a test's duration, so that no
// test reads or changes the settings of the account it runs under. The files
// and their folders do not exist until something writes them.

#include "support/Registry.h"
#include "support/RegistryKeys.h"

#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

namespace testing_support {

class PrivateRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { support::SetRegistryFiles({userFile, machineFile}); }
    void TearDown() override { support::ResetRegistryFiles(); }

    // The text stored for a value of the update check, empty when there is none.
    static QString stored(const QString& value) {
        return support::RegGetString(support::Hive::CurrentUser, support::KEY_WISER_UPDATE, value);
    }

    TempFolder temp;
    const QString userFile = temp.path() + QStringLiteral("/user/registry.json");
    const QString machineFile = temp.path() + QStringLiteral("/machine/registry.json");
};

} // namespace testing_support
