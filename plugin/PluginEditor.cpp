#include "PluginEditor.h"
#include "InterfaceScale.h"
#include "PluginProcessor.h"
#include "ProductIdentity.h"
#include "SiteLinks.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace juce::qorv_gui;

// The shortcut descriptions are quoted in the hints, so both come from one string.
static const juce::String undoShortcut { "ctrl+z" }, redoShortcut { "ctrl+shift+z" }, saveShortcut { "ctrl+s" },
    resetShortcut { "ctrl+r" };

const juce::KeyPress PluginEditor::undoKey = juce::KeyPress::createFromDescription (undoShortcut);
const juce::KeyPress PluginEditor::redoKey = juce::KeyPress::createFromDescription (redoShortcut);
const juce::KeyPress PluginEditor::saveKey = juce::KeyPress::createFromDescription (saveShortcut);
const juce::KeyPress PluginEditor::resetKey = juce::KeyPress::createFromDescription (resetShortcut);

namespace
{
juce::String withStage (const juce::String& text, int stage) { return text.replace ("<stage>", juce::String (stage)); }
} // namespace

PluginEditor::PluginEditor (PluginProcessor& p)
    : juce::AudioProcessorEditor (p),
      juce::Thread ("TandrelEditorThread"),
      processor (p),
      controls (lookAndFeel),
      title (ProductIdentity::vendor(), SiteLinks::company(), ProductIdentity::nameWithFullVersion(), SiteLinks::product(), lookAndFeel),
      notification (lookAndFeel.mainFont, lookAndFeel.textColour, juce::Justification::topLeft),
      controlBar (lookAndFeel, p.getPresetManager(), this, SiteLinks::presets()),
      hintLine (lookAndFeel),
      linkRow (lookAndFeel, { "User Guide", "Get Support" },
               { SiteLinks::userGuide().toString (true), SiteLinks::support().toString (true) },
               juce::Justification::bottomLeft),
      interfaceScale (InterfaceScaleSetting::forFile (p.getSettingsFile())),
      interfaceScalePercent (interfaceScale.getPercent())
{
    title.getCompanyLabel().setHelpText ("Go to " + SiteLinks::hostName);
    title.getProductLabel().setHelpText ("Go to Tandrel main page.");
    addAndMakeVisible (title);
    addAndMakeVisible (notification);

    controlBar.presetComponent.setHelpText ("Save (" + saveShortcut + ") and load presets.");
    controlBar.presetScroller.leftButton.setHelpText ("Previous preset.");
    controlBar.presetScroller.rightButton.setHelpText ("Next preset.");
    controlBar.undoButton.setHelpText ("Undo action (" + undoShortcut + ").");
    controlBar.redoButton.setHelpText ("Redo action (" + redoShortcut + ").");
    controlBar.reloadButton.setHelpText ("Reload current preset.");
    controlBar.newButton.setHelpText ("Reset to default (" + resetShortcut + ").");
    controlBar.randomButton.setHelpText ("Random preset.");
    addAndMakeVisible (controlBar);

    bindSuite (controls.modeSuite, ParamKind::mode, -1, "How stages are ordered.");
    bindSuite (controls.toneSuite, ParamKind::tone, -1, "Affects high frequency response of wet signal.");
    for (int stage = 1; stage <= numStages; ++stage)
        bindStage (stage);

    addAndMakeVisible (controls);
    addAndMakeVisible (hintLine);
    addAndMakeVisible (linkRow);
    linkRow.getLabel (0).setHelpText ("Go to user guide page.");
    linkRow.getLabel (1).setHelpText ("Go to support page.");

    addKeyListener (this);
    processor.setLabelUpdater (this);

    setSize (windowSize, windowSize);
    // The standalone wrapper never sets a host scale; the plug-in wrappers set
    // theirs right after construction, which applies the user's scale again.
    applyScale();
    interfaceScale.addListener (this);
    addMouseListener (&backgroundClicks, true);

    startThread (juce::Thread::Priority::low);
}

PluginEditor::~PluginEditor()
{
    removeMouseListener (&backgroundClicks);
    interfaceScale.removeListener (this);
    processor.setLabelUpdater (nullptr);
    stopThread (1000);
    hintLine.stopPolling();
    removeKeyListener (this);
}

void PluginEditor::bindSuite (LabeledSuite& suite, ParamKind kind, int stage, const juce::String& hint)
{
    suite.attach (processor.getModelTree(), makeParameterId (kind, stage), &processor, getParameterRow (kind).nudgeStep);
    suite.addKeyListener (this);
    suite.setHelpText (withStage (hint, stage));
    suite.registerComponents (componentSuites);
}

void PluginEditor::bindStage (int stage)
{
    auto& panel = *controls.stageControls[stage - 1];

    auto& light = panel.getLightSuite();
    light.setLabelText ("Stage " + juce::String (stage));
    light.setHelpText (withStage ("Indicates if stage <stage> is active.", stage));
    light.getLight().addListener (this);

    struct Slider { ParamKind kind; const char* hint; };
    const Slider sliders[] = {
        { ParamKind::nSegs, "Number of segments for stage <stage>" },
        { ParamKind::segSize, "Segment length for stage <stage>" },
        { ParamKind::segMix, "Relative mix for stage <stage>" },
    };
    for (const auto& slider : sliders)
        bindSuite (panel.getSliderSuite (slider.kind), slider.kind, stage,
                   juce::String (slider.hint) + " (click label to enter value).");
}

void PluginEditor::paint (juce::Graphics& g)
{
    g.fillAll (lookAndFeel.backgroundColour);
}

bool PluginEditor::isRoundedWindowSize (int size) const noexcept
{
    // Within two screen pixels of the fixed size at the current scale.
    return size != windowSize && std::abs ((float) (size - windowSize) * getScale()) < 2.0f;
}

void PluginEditor::resized()
{
    // Hosts confirm the window's size in whole screen pixels: at a fractional
    // scale (550 x 125 % = 687.5) the size comes back rounded up, and the
    // wrapper turns it into a logical size a pixel larger. Each confirmation
    // would then grow the window by a pixel; such a size is the fixed one.
    if (isRoundedWindowSize (getWidth()) || isRoundedWindowSize (getHeight()))
    {
        setSize (isRoundedWindowSize (getWidth()) ? windowSize : getWidth(),
                 isRoundedWindowSize (getHeight()) ? windowSize : getHeight());
        return;
    }

    using R = juce::Rectangle<float>;
    const float width = (float) getWidth();
    float rest = (float) getHeight();

    auto take = [&rest] (float wanted)
    {
        const float taken = juce::jmin (rest, wanted);
        rest -= taken;
        return taken;
    };

    const float rowWidth = juce::jmin (width, 540.0f);
    const float x0 = width - rowWidth;

    const float titleHeight = take (lookAndFeel.titleFont.getHeight());
    title.setBounds (R (x0, 0.0f, rowWidth, titleHeight).toNearestInt());

    const float notificationHeight = take (lookAndFeel.mainFont.getHeight());
    notification.setBounds (R (x0, titleHeight, rowWidth, notificationHeight).toNearestInt());

    const float band = take (28.0f);
    const float barHeight = juce::jmin (band, 22.0f);
    const float bandTop = titleHeight + notificationHeight;
    controlBar.setBounds (R (x0, bandTop + band - barHeight, rowWidth, barHeight).toNearestInt());

    const float controlsTop = bandTop + band;
    const float controlsHeight = take (416.0f);
    controls.setBounds (R (0.0f, controlsTop, width, controlsHeight).toNearestInt());

    const float gap = take (6.0f);
    const float hintTop = controlsTop + controlsHeight + gap;
    const float hintHeight = take (22.0f);
    hintLine.setBounds (R (x0, hintTop, rowWidth, hintHeight).toNearestInt());

    linkRow.setBounds (R (x0, hintTop + hintHeight, juce::jmin (rowWidth, 530.0f), take (22.0f)).toNearestInt());
}

void PluginEditor::setScaleFactor (float newHostScale)
{
    hostScale = std::isfinite (newHostScale) && newHostScale > 0.0f ? newHostScale : 1.0f;
    applyScale();
}

float PluginEditor::getScale() const noexcept
{
    return hostScale * InterfaceScale::factorOf (interfaceScalePercent);
}

void PluginEditor::applyScale()
{
    // The framework's own editor scale: the window, every bound, font, icon and
    // line are drawn at host x user scale, and the wrappers size the host's
    // window to 550 times that.
    juce::AudioProcessorEditor::setScaleFactor (getScale());
}

juce::Image PluginEditor::createSnapshotAsShown()
{
    return createComponentSnapshot (getLocalBounds(), true, getScale());
}

void PluginEditor::chooseInterfaceScale (int percent)
{
    interfaceScale.choose (percent); // tells every open editor, this one too
}

void PluginEditor::interfaceScaleChanged (int percent)
{
    if (percent == interfaceScalePercent)
        return;
    interfaceScalePercent = percent;
    applyScale();
}

bool PluginEditor::isBackground (const juce::Component* component) const
{
    if (component == nullptr)
        return false;

    // The window and the containers that only frame or place controls.
    std::vector<const juce::Component*> background { this, &controls, &title, &notification, &controlBar, &hintLine, &linkRow };
    for (auto* panel : controls.stageControls)
    {
        background.push_back (panel);
        background.push_back (&panel->getGrid());
    }
    return std::find (background.begin(), background.end(), component) != background.end();
}

void PluginEditor::showInterfaceScaleMenu()
{
    // The menu is drawn at the window's scale, beside the mouse; it keeps the
    // framework's own look, which shows the tick.
    InterfaceScale::makeMenu (interfaceScalePercent)
        .showMenuAsync (juce::PopupMenu::Options().withTargetComponent (this).withMousePosition(),
                        [safeEditor = juce::Component::SafePointer<PluginEditor> (this)] (int chosen)
                        {
                            if (safeEditor != nullptr && InterfaceScale::isChoice (chosen))
                                safeEditor->chooseInterfaceScale (chosen);
                        });
}

void PluginEditor::BackgroundClicks::mouseDown (const juce::MouseEvent& event)
{
    if (event.mods.isPopupMenu() && editor.isBackground (event.eventComponent))
        editor.showInterfaceScaleMenu();
}

void PluginEditor::buttonClicked (juce::Button* button)
{
    auto& presets = processor.getPresetManager();
    auto& browser = controlBar.presetComponent;

    if (button == &controlBar.newButton)
        browser.selectNewItem (juce::sendNotificationAsync);
    else if (button == &controlBar.undoButton || button == &controlBar.redoButton)
    {
        // Undo and redo rewrite the state tree; a host may be saving or loading
        // that tree on its own thread under the same lock.
        const juce::ScopedLock sl (presets.getLock());
        auto& history = processor.getModelTree().getUndoManager();
        if (button == &controlBar.undoButton)
            history.undo();
        else
            history.redo();
    }
    else if (button == &controlBar.reloadButton)
    {
        if (presets.hasCurrentPreset())
            browser.selectPresetId (presets.getCurrentId(), juce::sendNotificationAsync);
    }
    else if (button == &controlBar.randomButton)
    {
        const int id = presets.randomPresetId (presets.hasCurrentPreset() ? presets.getCurrentId() : -1);
        if (id >= juce::qorv_gui::PresetManager::firstPresetId)
            browser.selectPresetId (id, juce::sendNotificationAsync);
    }
    else
    {
        for (int stage = 1; stage <= numStages; ++stage)
            if (controls.stageControls[stage - 1]->getLightSuite().owns (button))
                clickStageLight (stage);
    }
}

void PluginEditor::clickStageLight (int stage)
{
    if (processor.toggleStageActive (stage))
        controls.stageControls[stage - 1]->getLightSuite().setLightState (2);
}

void PluginEditor::updateLabel (const juce::String& text, int kind, int stage)
{
    switch ((ParamKind) kind)
    {
        case ParamKind::nSegs:
        case ParamKind::segSize:
        case ParamKind::segMix:
        {
            if (stage < 1 || stage > numStages)
                return;
            auto& panel = *controls.stageControls[stage - 1];
            panel.getSliderSuite ((ParamKind) kind).setLabelText (text);

            if ((ParamKind) kind == ParamKind::segMix)
            {
                // The engine's mix target is written from this parameter before the label is refreshed.
                const auto* mix = processor.getModelTree().getRawParameterValue (makeParameterId (ParamKind::segMix, stage));
                panel.getLightSuite().setLightState (mix != nullptr && mix->load() == 0.0f ? -1 : 0);
            }
            break;
        }
        case ParamKind::tone: controls.toneSuite.setLabelText (text); break;
        case ParamKind::mode: controls.modeSuite.setLabelText (text); break;
        case ParamKind::none: break;
    }
}

bool PluginEditor::keyPressed (const juce::KeyPress& key, juce::Component*)
{
    if (key == undoKey)
    {
        controlBar.undoButton.triggerClick();
        return true;
    }
    if (key == redoKey)
    {
        controlBar.redoButton.triggerClick();
        return true;
    }
    if (key == saveKey)
    {
        if (! processor.getPresetManager().saveCurrent())
            controlBar.presetComponent.savePreset();
        return true;
    }
    if (key == resetKey)
    {
        controlBar.newButton.triggerClick();
        return true;
    }

    const auto modifiers = key.getModifiers();
    if (modifiers.isShiftDown() || modifiers.isCtrlDown() || modifiers.isAltDown())
        return false;

    const int code = key.getKeyCode();
    int direction = 0;
    if (code == juce::KeyPress::leftKey || code == juce::KeyPress::downKey)
        direction = -1;
    else if (code == juce::KeyPress::rightKey || code == juce::KeyPress::upKey)
        direction = 1;
    else
        return false;

    const auto found = componentSuites.find (juce::Component::getCurrentlyFocusedComponent());
    if (found == componentSuites.end())
        return false;
    if (found->second->step != 0.0f)
        found->second->nudge (direction);
    return true;
}

void PluginEditor::run()
{
    for (int attempt = 0; attempt < 3 && ! threadShouldExit(); ++attempt)
    {
        const juce::MessageManagerLock lock (this);
        if (lock.lockWasGained())
        {
            controlBar.presetComponent.updateShownPreset();
            return;
        }
    }
}
