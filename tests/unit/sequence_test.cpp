#include <gtest/gtest.h>

#include "setup/sequence.h"

namespace {
using S = WizardState;
using A = WizardAction;

struct Transition {
    S from;
    int result;
    S to;
    A action;
};

const Transition kTable[] = {
    {S::Accepted, 0, S::Type, A::None},
    {S::Type, 1, S::ConfirmDefault, A::EnableShortcuts},
    {S::Type, 1015, S::Destination, A::None},
    {S::Type, 1024, S::AgreementAgain, A::None},
    {S::Type, 2, S::Done, A::Interrupt},
    {S::Type, 1025, S::Done, A::None},
    {S::Type, -1, S::Done, A::None},
    {S::AgreementAgain, 1, S::Accepted, A::None},
    {S::AgreementAgain, 2, S::Done, A::Interrupt},
    {S::AgreementAgain, 7, S::Done, A::Interrupt},
    {S::ConfirmDefault, 2, S::Done, A::Interrupt},
    {S::ConfirmDefault, 1025, S::Type, A::None},
    {S::ConfirmDefault, 1, S::Done, A::InstallDefault},
    {S::ConfirmDefault, 1024, S::Done, A::InstallDefault},
    {S::Destination, 2, S::Done, A::Interrupt},
    {S::Destination, 1025, S::Type, A::None},
    {S::Destination, 1, S::ConfirmCustom, A::None},
    {S::ConfirmCustom, 2, S::Done, A::Interrupt},
    {S::ConfirmCustom, 1025, S::Destination, A::None},
    {S::ConfirmCustom, 1, S::Done, A::InstallCustom},
};
}  // namespace

TEST(PageSequence, EveryResultLeadsWhereTheWizardTableSays) {
    for (const Transition& t : kTable) {
        WizardStep step = NextStep(t.from, t.result);
        EXPECT_EQ(step.next, t.to) << static_cast<int>(t.from) << " result " << t.result;
        EXPECT_EQ(step.action, t.action) << static_cast<int>(t.from) << " result " << t.result;
    }
}

TEST(PageSequence, StatesOpenTheirPages) {
    EXPECT_EQ(PageForState(S::Accepted), WizardPage::None);
    EXPECT_EQ(PageForState(S::Type), WizardPage::InstallType);
    EXPECT_EQ(PageForState(S::AgreementAgain), WizardPage::Agreement);
    EXPECT_EQ(PageForState(S::ConfirmDefault), WizardPage::Confirm);
    EXPECT_EQ(PageForState(S::ConfirmCustom), WizardPage::Confirm);
    EXPECT_EQ(PageForState(S::Destination), WizardPage::Destination);
    EXPECT_EQ(PageForState(S::Done), WizardPage::None);
}
