#pragma once
// A dialogs seam for tests: records every dialog and answers questions from a script.

#include "app/StationDialogs.h"

#include <QString>

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

struct RecordedDialog {
    enum Kind { Message, Question, SystemMessage, Progress, LevelChoice } kind;
    QString caption;
    QString text;
    int steps = 0;  // the progress steps, or the level popup's preselected value
};

class RecordingDialogs : public StationDialogs {
  public:
    // Installs itself for its lifetime.
    RecordingDialogs();
    ~RecordingDialogs() override;

    void showMessage(const QString& caption, const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;
    void showSystemMessage(const QString& caption, const QString& text) override;
    void showProgress(const QString& title, int steps) override;
    std::optional<int> chooseLevel(const QString& title, const QString& text, int value) override;

    // Answers for the next questions, in order; when none is left the answer is false.
    void scriptAnswers(std::initializer_list<bool> answers);
    // Answers for the next level popups, in order (nothing = cancelled); none left = cancelled.
    void scriptLevelChoices(std::initializer_list<std::optional<int>> choices);
    std::vector<RecordedDialog> recorded() const;
    std::vector<RecordedDialog> messages() const;  // only showMessage calls
    void clear();

    // Runs on every dialog, on the calling thread (for example to observe ordering).
    std::function<void(const RecordedDialog&)> onDialog;

  private:
    void record(RecordedDialog dialog);

    mutable std::mutex m_mutex;
    std::vector<RecordedDialog> m_recorded;
    std::deque<bool> m_answers;
    std::deque<std::optional<int>> m_levelChoices;
    StationDialogs* m_previous;
};
