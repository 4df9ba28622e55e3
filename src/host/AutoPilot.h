#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class HostWindow;

// Drives the host without a person, for demonstrations and smoke runs: clicks "&Upload",
// answers every message box with its default button, and saves a picture of every window it
// meets. The upload counts as done when the control announced it as successful.
class AutoPilot : public QObject
{
    Q_OBJECT

public:
    // Pictures go to shotsFolder (created when missing); none when it is empty.
    explicit AutoPilot(const QString &shotsFolder, QObject *parent = nullptr);

    // Clicks Upload on the window's control and returns the exit status: 0 when the control
    // announced a successful upload, 1 otherwise.
    int run(HostWindow &window);

    // The texts of the message boxes met so far, in order.
    QStringList boxTexts() const { return m_boxTexts; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void meet(QWidget *window);
    void photograph(QWidget *window, const QString &what);

    QString m_shotsFolder;
    QStringList m_boxTexts;
    int m_shots = 0;
};
