#pragma once

// A window of plain fields for the form's tests: every box is logged, posted work waits in a
// queue until the test runs it.

#include "form/FormRules.h"

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace test {

/// A console that records what it is shown.
class FakeConsole final : public form::TConsoleView {
public:
    std::vector<std::string> log;
    std::string output;
    /// Called once a beginning is logged.
    std::function<void()> onBegin;

    void Begin(std::size_t calls, const std::string& status) override {
        log.push_back("begin " + std::to_string(calls) + ": " + status);
        if (onBegin)
            onBegin();
    }
    void Append(std::string_view lines) override { output += std::string(lines) + "\n"; }
    void Progress(std::size_t done) override { log.push_back("done " + std::to_string(done)); }
    void End(const std::string& summary) override { log.push_back("end: " + summary); }
};

/// Controls as plain fields; every box and busy change is logged; posted work waits in a queue.
class FakeView final : public form::TFormView, public form::TListView, public form::TBoxes {
public:
    std::string path, filter = "*.avi", treePath;
    bool selectAll = true, treeResolves = true;
    form::Answer answer = form::Answer::Yes;
    /// Answers taken before `answer`, one a question.
    std::deque<form::Answer> answers;
    /// Called with each information box's text once it is logged.
    std::function<void(const std::string&)> onInformation;
    /// Called with each error box's text once it is logged, as a box's own event loop would run.
    std::function<void(const std::string&)> onError;
    /// Called at each beep once it is logged.
    std::function<void()> onBeep;
    int pathChanges = 0, delay = -1;
    std::vector<std::string> log, shown;
    form::TFormRules* rules = nullptr;

    std::string PathText() const override { return path; }
    void SetPathText(const std::string& text) override {
        if (text == path)
            return;
        path = text;
        ++pathChanges;
        rules->PathChange();
    }
    std::string FilterText() const override { return filter; }
    bool SelectAllChecked() const override { return selectAll; }
    void SelectAllItems() override { log.push_back("select all"); }
    std::string TreeSelectedPath() const override { return treePath; }
    bool TreeCanResolve(const std::string&) override { return treeResolves; }
    void ShowInComboBox(const std::string&) override {}
    void SetTreeChangeDelay(int milliseconds) override { delay = milliseconds; }
    form::TSettings CurrentSettings() const override { return {}; }
    std::vector<bool> SelectedFlags() const override { return {}; }
    std::string TargetPattern() const override { return "*.wmv"; }
    void Beep() override {
        log.push_back("beep");
        if (onBeep)
            onBeep();
    }
    form::TBoxes& Boxes() override { return *this; }
    form::TConsoleView& Console() override { return console; }
    void Post(std::function<void()> work) override {
        const std::lock_guard<std::mutex> hold(lock);
        posted.push_back(std::move(work));
    }
    /// Runs what was posted so far, as the window's event loop would.
    void RunPosted() {
        std::vector<std::function<void()>> work;
        {
            const std::lock_guard<std::mutex> hold(lock);
            work.swap(posted);
        }
        for (auto& each : work)
            each();
    }
    void ShowError(const std::string& text) override {
        log.push_back("error: " + text);
        if (onError)
            onError(text);
    }
    void ShowInformation(const std::string& text) override {
        log.push_back("info: " + text);
        if (onInformation)
            onInformation(text);
    }
    /// The script-written box logs as an information box and answers `confirm`.
    bool Confirm(const std::string& text, const std::string&) override {
        ShowInformation(text);
        return confirm;
    }
    bool confirm = true;
    form::Answer Ask(const std::string& text) override {
        log.push_back("ask: " + text);
        if (answers.empty())
            return answer;
        const form::Answer next = answers.front();
        answers.pop_front();
        return next;
    }
    void SetFilterIndex(int) override {}
    void SetFilterText(const std::string& text) override { filter = text; }
    void SetSelectAll(bool) override {}
    void SetMakeReturnFile(bool) override {}
    void SetTargetPattern(const std::string&) override {}
    void SetLeftPaneWidth(int) override {}
    void SetLeft(int) override {}
    void SetTop(int) override {}
    void SetWidth(int) override {}
    void SetHeight(int) override {}

    void ShowItems(const std::vector<std::string>& names) override { shown = names; }
    void SetBusy(bool busy) override { log.push_back(busy ? "busy" : "idle"); }

    FakeConsole console;
    std::mutex lock;
    std::vector<std::function<void()>> posted;
};

} // namespace test
