// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The error record is built and exported once, by Dabrel; Corvane's callers find it here too.
#include "database/Error.h"
