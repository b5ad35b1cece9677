#pragma once
// Runs a test under a locale whose decimal mark is a comma (German), both for the C library
// (what QCoreApplication sets from the environment on Unix) and for Qt's default locale, and
// restores both afterwards.
#include <QLocale>
#include <clocale>
#include <string>

class CommaLocale {
public:
    CommaLocale() : m_qtLocale(QLocale())
    {
        if (const char* current = std::setlocale(LC_ALL, nullptr))
            m_cLocale = current;
        m_active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        if (m_active)
            QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    ~CommaLocale()
    {
        std::setlocale(LC_ALL, m_cLocale.c_str());
        QLocale::setDefault(m_qtLocale);
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    // False when the system has no de_DE.UTF-8 locale (generate it with locale-gen).
    bool active() const { return m_active; }

private:
    QLocale m_qtLocale;
    std::string m_cLocale = "C";
    bool m_active = false;
};

#define SKIP_WITHOUT_COMMA_LOCALE(locale)                                                                          \
    if (!(locale).active())                                                                                        \
    GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed on this system; generate it to run this test"
