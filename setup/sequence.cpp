#include "sequence.h"

WizardPage PageForState(WizardState state) {
    switch (state) {
        case WizardState::Type:
            return WizardPage::InstallType;
        case WizardState::AgreementAgain:
            return WizardPage::Agreement;
        case WizardState::ConfirmDefault:
        case WizardState::ConfirmCustom:
            return WizardPage::Confirm;
        case WizardState::Destination:
            return WizardPage::Destination;
        default:
            return WizardPage::None;
    }
}

WizardStep NextStep(WizardState state, int result) {
    using S = WizardState;
    using A = WizardAction;
    switch (state) {
        case S::Accepted:
            return {S::Type, A::None};
        case S::Type:
            switch (result) {
                case kResultNext:
                    return {S::ConfirmDefault, A::EnableShortcuts};
                case kResultCustom:
                    return {S::Destination, A::None};
                case kResultBackToAgreement:
                    return {S::AgreementAgain, A::None};
                case kResultCancel:
                    return {S::Done, A::Interrupt};
                default:
                    return {S::Done, A::None};
            }
        case S::AgreementAgain:
            return result == kResultNext ? WizardStep{S::Accepted, A::None} : WizardStep{S::Done, A::Interrupt};
        case S::ConfirmDefault:
            if (result == kResultCancel)
                return {S::Done, A::Interrupt};
            if (result == kResultBack)
                return {S::Type, A::None};
            return {S::Done, A::InstallDefault};
        case S::Destination:
            if (result == kResultCancel)
                return {S::Done, A::Interrupt};
            if (result == kResultBack)
                return {S::Type, A::None};
            return {S::ConfirmCustom, A::None};
        case S::ConfirmCustom:
            if (result == kResultCancel)
                return {S::Done, A::Interrupt};
            if (result == kResultBack)
                return {S::Destination, A::None};
            return {S::Done, A::InstallCustom};
        case S::Done:
            break;
    }
    return {S::Done, A::None};
}
