#pragma once

#include "documents/mail/MailSystem.h"

#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QTemporaryDir;

// The mail system of one program run, chosen at start-up before any window opens and again each
// time the user's mail settings change: the mail server the user has set, else the user's mail
// program through xdg-email, else none (mail is then unavailable). The program's entry creates it
// and it lives until the program ends; the mail component finds it through current().
class MailLibrary
{
public:
    // Chooses the mail system from the user's settings and what is installed.
    MailLibrary();
    // Uses system; none makes mail unavailable (tests).
    explicit MailLibrary(std::unique_ptr<MailSystem> system);
    ~MailLibrary();
    MailLibrary(const MailLibrary &) = delete;
    MailLibrary &operator=(const MailLibrary &) = delete;

    // The library of this run, or null when none was created.
    static MailLibrary *current();

    // Chooses again from the user's settings, now changed; a library given its system keeps it.
    void settingsChanged();

    bool isAvailable() const { return bool(m_system); }
    MailSystem *system() const { return m_system.get(); }

    // Keeps a folder of attachments that the mail program reads after the send returned, until
    // the program ends.
    void keepUntilExit(std::unique_ptr<QTemporaryDir> folder);

    // The message of a send that failed, so that the next send dialog of the same report starts
    // from it.
    struct Draft
    {
        QString report; // which report it was written for
        QString recipient;
        QString subject;
        QString text;
    };
    std::optional<Draft> unsent;

private:
    std::unique_ptr<MailSystem> m_system;
    std::vector<std::unique_ptr<QTemporaryDir>> m_kept;
    MailLibrary *m_previous;
    bool m_chosen = false; // chosen from the settings, not given
};
