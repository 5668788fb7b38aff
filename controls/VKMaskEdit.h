// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/VKEdit.h"

// The masked twin of the numeric field: the same operations over a Qt input mask.
class CORVANE_EXPORT CVKMaskEdit : public CVKEdit
{
public:
    using CVKEdit::CVKEdit;
    void SetMask(const QString& mask) { setInputMask(mask); }
};
