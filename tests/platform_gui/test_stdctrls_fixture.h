#pragma once

// Shared set-up of the standard control tests.

#include "support/form_fixture.h"

#include <QtTest/QTest>

class StdFixture : public FormFixture
{
};
