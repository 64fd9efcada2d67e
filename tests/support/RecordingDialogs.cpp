#include "tests/support/RecordingDialogs.h"

RecordingDialogs::RecordingDialogs() : m_previous(InstalledStationDialogs()) {
    InstallStationDialogs(this);
}

RecordingDialogs::~RecordingDialogs() {
    InstallStationDialogs(m_previous);
}

void RecordingDialogs::record(RecordedDialog dialog) {
    {
        std::lock_guard lock(m_mutex);
        m_recorded.push_back(dialog);
    }
    if (onDialog) {
        onDialog(dialog);
    }
}

void RecordingDialogs::showMessage(const QString& caption, const QString& text) {
    record({RecordedDialog::Message, caption, text});
}

bool RecordingDialogs::askYesNo(const QString& caption, const QString& text) {
    record({RecordedDialog::Question, caption, text});
    std::lock_guard lock(m_mutex);
    if (m_answers.empty()) {
        return false;
    }
    const bool answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void RecordingDialogs::showSystemMessage(const QString& caption, const QString& text) {
    record({RecordedDialog::SystemMessage, caption, text});
}

void RecordingDialogs::showProgress(const QString& title, int steps) {
    record({RecordedDialog::Progress, title, QString(), steps});
}

std::optional<int> RecordingDialogs::chooseLevel(const QString& title, const QString& text,
                                                 int value) {
    record({RecordedDialog::LevelChoice, title, text, value});
    std::lock_guard lock(m_mutex);
    if (m_levelChoices.empty()) {
        return std::nullopt;
    }
    const std::optional<int> choice = m_levelChoices.front();
    m_levelChoices.pop_front();
    return choice;
}

void RecordingDialogs::scriptLevelChoices(std::initializer_list<std::optional<int>> choices) {
    std::lock_guard lock(m_mutex);
    m_levelChoices.insert(m_levelChoices.end(), choices.begin(), choices.end());
}

void RecordingDialogs::scriptAnswers(std::initializer_list<bool> answers) {
    std::lock_guard lock(m_mutex);
    m_answers.insert(m_answers.end(), answers.begin(), answers.end());
}

std::vector<RecordedDialog> RecordingDialogs::recorded() const {
    std::lock_guard lock(m_mutex);
    return m_recorded;
}

std::vector<RecordedDialog> RecordingDialogs::messages() const {
    std::lock_guard lock(m_mutex);
    std::vector<RecordedDialog> result;
    for (const auto& d : m_recorded) {
        if (d.kind == RecordedDialog::Message) {
            result.push_back(d);
        }
    }
    return result;
}

void RecordingDialogs::clear() {
    std::lock_guard lock(m_mutex);
    m_recorded.clear();
}
