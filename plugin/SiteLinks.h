#pragma once

#include <juce_core/juce_core.h>

/** Addresses of the maker's web pages. Every link shares the host and the
    campaign query string. */
namespace SiteLinks
{
inline const juce::String hostName { "quorvex.com" };
inline const juce::String host { "https://" + hostName };
inline const juce::String query { "?utm_source=tandrel&utm_medium=app&utm_campaign=app_general&utm_id=0022" };

inline juce::URL page (const juce::String& path) { return juce::URL (host + path + query); }

inline juce::URL company() { return page ("/"); }
inline juce::URL product() { return page ("/tandrel/"); }
inline juce::URL userGuide() { return page ("/tandrel/user-guide/"); }
inline juce::URL support() { return page ("/support/"); }
inline juce::URL presets() { return page ("/presets/tandrel/"); }
} // namespace SiteLinks
