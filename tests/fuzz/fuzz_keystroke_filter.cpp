// SPDX-License-Identifier: GPL-3.0-or-later
// The numeric field's keystroke filter over random key sequences, texts and selections: a key
// it lets through never turns a number the field can hold into one it cannot.

#include "FuzzSupport.h"

#include "controls/VKEdit.h"

namespace
{
int PickKey(CFuzzInput& input)
{
    static const int keys[] = {'0', '1', '5',    '9',      96,      105, 108, 110, 188,    190,
                               109, 189, VkBack, VkDelete, VkSpace, 'A', 'C', 'V', VkLeft, VkHome};
    const int choice = input.Between(0, 31);
    if (choice < static_cast<int>(std::size(keys)))
        return keys[choice];
    return input.Byte();
}

// The text after the field has handled a key that passed.
QString Typed(QString text, int start, int end, int key, const CVKNumberSettings& settings)
{
    if (start > end)
        std::swap(start, end);
    const auto replace = [&](const QString& with)
    {
        text.replace(start, end - start, with);
        return text;
    };
    if ((key >= '0' && key <= '9') || (key >= 96 && key <= 105))
        return replace(QString(QChar(key >= 96 ? '0' + key - 96 : key)));
    if (key == settings.m_DecimalKey1 || key == settings.m_DecimalKey2)
        return replace(settings.m_DecimalSeparator);
    if (key == VkSubtract || key == VkOemMinus)
        return replace(QStringLiteral("-"));
    if (key == VkBack || key == VkDelete)
    {
        if (start == end)
        {
            start = key == VkBack ? start - 1 : start;
            end = start + 1;
            if (start < 0 || end > text.size())
                return text;
        }
        return replace(QString());
    }
    return text; // navigation, control and refused keys change nothing here
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    EnsureApplication();
    CFuzzInput input(data, size);
    const CVKNumberSettings& settings = PickSettings(input);
    CVKDigitRules rules;
    rules.m_IntegerPlaces = input.Between(1, 9);
    rules.m_DecimalPlaces = input.Between(0, 4);
    rules.m_AllowNegative = input.Flag();
    rules.m_DecimalsAllowed = rules.m_DecimalPlaces > 0;

    QString text;
    for (int step = 0; step < 64 && !input.Empty(); ++step)
    {
        const int length = static_cast<int>(text.size());
        const int start = input.Between(0, length);
        const int end = input.Flag() ? start : input.Between(0, length);
        const int key = PickKey(input);
        const bool control = input.Between(0, 15) == 0;
        bool suppress = false;
        const bool refused =
            CVKEdit::AllowNumbersOnly(text, start, end, key, control, rules, settings, suppress);
        FUZZ_CHECK(!suppress || (refused && (key == VkBack || key == VkDelete)),
                   "only a refused Backspace or Delete suppresses the next key-down");
        if (refused || control)
            continue;
        const QString after = Typed(text, start, end, key, settings);
        FUZZ_CHECK(!CVKEdit::CanHoldText(text, rules, settings) ||
                       CVKEdit::CanHoldText(after, rules, settings),
                   "key " + std::to_string(key) + " on " + Show(text) + " selection " +
                       std::to_string(start) + ".." + std::to_string(end) + " gave " + Show(after) +
                       " (places " + std::to_string(rules.m_IntegerPlaces) + "." +
                       std::to_string(rules.m_DecimalPlaces) + ", negative " +
                       std::to_string(rules.m_AllowNegative) + ", separator " +
                       Show(settings.m_DecimalSeparator) + ")");
        text = after;
    }
    return 0;
}
