#pragma once

#include "SettingsFile.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The user's interface scale in percent, one per settings file and process,
    shared by every editor that uses that file. It is read from the file when an
    editor opens and the file changed since it was last read or written here (a
    choice made in another host or the standalone shows in the next editor); it
    is never read per paint nor on the audio thread. A new choice is written at
    once and shown by every open editor; when it cannot be written it still
    holds for the rest of the session. Message thread only. */
class InterfaceScaleSetting
{
public:
    class Listener
    {
    public:
        virtual void interfaceScaleChanged (int percent) = 0;

    protected:
        ~Listener() = default;
    };

    /** The setting kept in settingsFile (an empty File: kept for the session only).
        It lives until the process ends. */
    static InterfaceScaleSetting& forFile (const juce::File& settingsFile);

    /** The current choice, from the file when it changed on disk. */
    int getPercent();

    /** Makes percent the choice, writes it and tells every listener. Anything but
        one of the offered choices is ignored. False when it could not be written. */
    bool choose (int percent);

    void addListener (Listener* listener) { listeners.add (listener); }
    void removeListener (Listener* listener) { listeners.remove (listener); }

    static constexpr const char* propertyName = "interfaceScale";

private:
    explicit InterfaceScaleSetting (const juce::File& settingsFile);

    const juce::File file;
    int percent;
    bool everRead = false;
    SettingsFile::Version lastSeen;
    juce::ListenerList<Listener> listeners;
};
