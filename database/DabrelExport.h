// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Marks the classes and functions that the Dabrel shared library exports.
#if defined(_WIN32)
#if defined(DABREL_BUILDING)
#define DABREL_EXPORT __declspec(dllexport)
#else
#define DABREL_EXPORT __declspec(dllimport)
#endif
#else
#define DABREL_EXPORT __attribute__((visibility("default")))
#endif
