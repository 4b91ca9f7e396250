#pragma once

#include "ControlBar.h"
#include "InterfaceScaleSetting.h"
#include "ParameterLayout.h"
#include "TandrelControls.h"

class PluginProcessor;

/** The plug-in window, 550 x 550 pixels: title and links, the control bar,
    three stage panels with the global controls, the hint line and help links.
    It binds every control to its parameter, shows the processor's value texts
    and turns clicks and shortcuts into preset and undo actions.

    The window is drawn at the user's interface scale times the host's content
    scale, through the framework's editor transform: the layout stays 550 x 550
    logical pixels and everything is drawn as vectors at the scale. A right-click
    on the background offers the interface scales. */
class PluginEditor : public juce::AudioProcessorEditor,
                     public juce::Button::Listener,
                     public juce::qorv_gui::LabelUpdater,
                     public juce::KeyListener,
                     private juce::Thread,
                     private InterfaceScaleSetting::Listener
{
public:
    explicit PluginEditor (PluginProcessor& processor);
    ~PluginEditor() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    void buttonClicked (juce::Button* button) override;
    void updateLabel (const juce::String& text, int kind, int stage) override;
    bool keyPressed (const juce::KeyPress& key, juce::Component* originatingComponent) override;
    using juce::Component::keyPressed;

    /** Called by the host's wrapper with the host's content scale; the user's
        interface scale multiplies it. */
    void setScaleFactor (float newHostScale) override;

    /** Makes percent (one of InterfaceScale::percentChoices) the interface scale
        of every editor and remembers it for the user. */
    void chooseInterfaceScale (int percent);
    int getInterfaceScalePercent() const noexcept { return interfaceScalePercent; }
    /** Host scale times interface scale: the window's size is 550 times this. */
    float getScale() const noexcept;

    /** True for the parts of the window that are background, not a control: a
        right-click there opens the interface scale menu. */
    bool isBackground (const juce::Component* component) const;
    void showInterfaceScaleMenu();

    /** The window as the host shows it: drawn at its current scale. */
    juce::Image createSnapshotAsShown();

    // Reached by tests and the host to inspect the window.
    TandrelControls& getControls() noexcept { return controls; }
    ControlBar& getControlBar() noexcept { return controlBar; }
    juce::qorv_gui::TipDisplayComponent& getHintLine() noexcept { return hintLine; }
    juce::qorv_gui::TitleLabels& getTitle() noexcept { return title; }
    juce::qorv_gui::NotificationLabel& getNotification() noexcept { return notification; }
    juce::qorv_gui::HyperlinkLabelRow& getLinkRow() noexcept { return linkRow; }
    const juce::qorv_gui::LabeledSuite::ComponentMap& getComponentSuites() const noexcept { return componentSuites; }

    static const juce::KeyPress undoKey, redoKey, saveKey, resetKey;

    /** The window's width and height in logical pixels, at any scale. */
    static constexpr int windowSize = 550;

private:
    void run() override;
    /** Attaches a suite to its parameter; arrow keys nudge it by the parameter's nudge step. */
    void bindSuite (juce::qorv_gui::LabeledSuite& suite, ParamKind kind, int stage, const juce::String& hint);
    void bindStage (int stage);
    void clickStageLight (int stage);
    void interfaceScaleChanged (int percent) override;
    void applyScale();
    /** A size a host's whole-pixel rounding of the scaled window turned the fixed size into. */
    bool isRoundedWindowSize (int size) const noexcept;

    /** Opens the interface scale menu on right-clicks anywhere in the window. */
    struct BackgroundClicks : juce::MouseListener
    {
        explicit BackgroundClicks (PluginEditor& e) : editor (e) {}
        void mouseDown (const juce::MouseEvent& event) override;
        PluginEditor& editor;
    };

    PluginProcessor& processor;
    juce::qorv_gui::LookAndFeel lookAndFeel;
    TandrelControls controls;
    juce::qorv_gui::TitleLabels title;
    juce::qorv_gui::NotificationLabel notification;
    ControlBar controlBar;
    juce::qorv_gui::TipDisplayComponent hintLine;
    juce::qorv_gui::HyperlinkLabelRow linkRow;
    juce::qorv_gui::LabeledSuite::ComponentMap componentSuites;
    InterfaceScaleSetting& interfaceScale;
    int interfaceScalePercent;
    float hostScale = 1.0f;
    BackgroundClicks backgroundClicks { *this };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginEditor)
};
