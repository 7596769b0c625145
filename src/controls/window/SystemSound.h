#pragma once

#include <QString>

class TQVRegistry;

// Plays the sounds that the user's sound scheme assigns to events of the default application
// (page changes, minimising and restoring a window). An event without an existing sound file is
// silent; a file is played by the desktop's sound player, or as the system beep when there is none.
class SystemSound
{
public:
    // The file named by the default value of
    // "\AppEvents\Schemes\Apps\.Default\<event>\.Current"; empty when the key or value is missing.
    static QString eventSoundFile(TQVRegistry &registry, const QString &eventName);

    // Starts the event's sound without waiting for it; any failure is ignored.
    static void playEvent(const QString &eventName);
    static void playFile(const QString &file);
};
