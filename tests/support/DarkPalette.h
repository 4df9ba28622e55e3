#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>

#include <algorithm>
#include <cmath>

// A dark desktop (Breeze Dark's colours) for as long as it lives, and the contrast of two colours
// as WCAG counts it (1 to 21; text asks for 4.5, pictures for 3).
class DarkPalette
{
public:
    DarkPalette()
        : m_desktop(QApplication::palette())
    {
        QPalette dark = m_desktop;
        for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Button})
            dark.setColor(role, QColor(0x31, 0x36, 0x3b));
        for (const QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            dark.setColor(role, QColor(0xfc, 0xfc, 0xfc));
        dark.setColor(QPalette::Base, QColor(0x1b, 0x1e, 0x20));
        QApplication::setPalette(dark);
    }
    ~DarkPalette() { QApplication::setPalette(m_desktop); }
    DarkPalette(const DarkPalette &) = delete;
    DarkPalette &operator=(const DarkPalette &) = delete;

    static double contrast(const QColor &one, const QColor &other)
    {
        const auto [low, high] = std::minmax({luminance(one), luminance(other)});
        return (high + 0.05) / (low + 0.05);
    }

private:
    static double luminance(const QColor &colour)
    {
        const auto linear = [](double c) {
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
               0.0722 * linear(colour.blueF());
    }

    QPalette m_desktop;
};
