// The wizard's page sequence as a state machine, apart from the windows.
#pragma once

enum class WizardState { Accepted, Type, AgreementAgain, ConfirmDefault, Destination, ConfirmCustom, Done };

enum class WizardAction {
    None,            // nothing besides moving on
    EnableShortcuts, // Default chosen: both shortcut options on
    Interrupt,       // the interrupted page, then exit
    InstallDefault,  // both shortcuts, whatever the options hold
    InstallCustom,   // shortcuts as the options say
};

struct WizardStep {
    WizardState next;
    WizardAction action;
};

// Page result codes.
inline constexpr int kResultNext = 1;
inline constexpr int kResultCancel = 2;
inline constexpr int kResultCustom = 1015;
inline constexpr int kResultBackToAgreement = 1024;
inline constexpr int kResultBack = 1025;

// Which page a state opens; Accepted and Done open none.
enum class WizardPage { None, InstallType, Agreement, Confirm, Destination };
WizardPage PageForState(WizardState state);

// Where the page's result leads from a state that opens a page.
WizardStep NextStep(WizardState state, int pageResult);
