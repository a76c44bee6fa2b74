// The journeys the page sequence allows, walked for every series of page
// results a person (or a broken page) can give.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "setup/sequence.h"

namespace {
using S = WizardState;
using A = WizardAction;

const int kResults[] = {kResultNext, kResultCancel, kResultCustom, kResultBackToAgreement, kResultBack, 7};

struct Walk {
    std::vector<S> states;  // from the start, the state each result left
    std::vector<A> actions;
    std::vector<int> results;
};

// Every walk of up to maxResults page results from the accepted agreement.
void ForEachWalk(int maxResults, const std::function<void(const Walk&)>& visit, Walk walk = {{S::Accepted}, {}, {}}) {
    visit(walk);
    if (walk.states.back() == S::Done || static_cast<int>(walk.actions.size()) == maxResults)
        return;
    for (int result : kResults) {
        WizardStep step = NextStep(walk.states.back(), result);
        Walk next = walk;
        next.states.push_back(step.next);
        next.actions.push_back(step.action);
        next.results.push_back(result);
        ForEachWalk(maxResults, visit, next);
    }
}

bool Installs(A action) {
    return action == A::InstallDefault || action == A::InstallCustom;
}

TEST(PageSequence, EveryPageOffersAWayOutAndOnlyTheEndActsForGood) {
    ForEachWalk(6, [](const Walk& walk) {
        S at = walk.states.back();
        if (at != S::Done) {
            EXPECT_TRUE(PageForState(at) != WizardPage::None || at == S::Accepted);
            if (at != S::Accepted) {
                EXPECT_EQ(NextStep(at, kResultCancel).next, S::Done);
                EXPECT_EQ(NextStep(at, kResultCancel).action, A::Interrupt);
            }
        }
        for (size_t i = 0; i + 1 < walk.actions.size(); ++i)
            EXPECT_TRUE(walk.actions[i] == A::None || walk.actions[i] == A::EnableShortcuts) << "step " << i;
    });
}

TEST(PageSequence, NothingInstallsWithoutPassingAConfirmationPage) {
    int installs = 0;
    ForEachWalk(6, [&](const Walk& walk) {
        if (walk.actions.empty() || !Installs(walk.actions.back()))
            return;
        ++installs;
        EXPECT_EQ(PageForState(walk.states[walk.states.size() - 2]), WizardPage::Confirm);
    });
    EXPECT_GT(installs, 0);
}

TEST(PageSequence, BackReturnsToThePageBefore) {
    int checked = 0;
    ForEachWalk(6, [&](const Walk& walk) {
        if (walk.states.size() < 2)
            return;
        S before = walk.states[walk.states.size() - 2], now = walk.states.back();
        bool forward =
            before == S::Accepted || walk.results.back() == kResultNext || walk.results.back() == kResultCustom;
        if (!forward || now == S::Done || now == S::AgreementAgain || PageForState(now) == WizardPage::None)
            return;
        ++checked;
        WizardPage earlier = before == S::Accepted ? WizardPage::Agreement : PageForState(before);
        S back = NextStep(now, now == S::Type ? kResultBackToAgreement : kResultBack).next;
        EXPECT_EQ(PageForState(back), earlier) << "from state " << static_cast<int>(now);
    });
    EXPECT_GT(checked, 0);
}

// After Back to the agreement and I agree, every series of choices leads
// where it led the first time: nothing chosen before carries over.
TEST(PageSequence, AcceptingTheAgreementAgainStartsTheChoicesOver) {
    S reaccepted = NextStep(NextStep(NextStep(S::Accepted, 0).next, kResultBackToAgreement).next, kResultNext).next;
    ForEachWalk(6, [&](const Walk& walk) {
        S from = reaccepted;
        for (size_t i = 0; i < walk.results.size(); ++i) {
            WizardStep step = NextStep(from, walk.results[i]);
            EXPECT_EQ(step.next, walk.states[i + 1]);
            EXPECT_EQ(step.action, walk.actions[i]);
            from = step.next;
        }
    });
}

}  // namespace
