#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class TQVDataSource;

// The business logo: the path the record names, a preview of the picture, and the commands that
// choose another picture or clear it. A chosen picture is kept in the record as well as its path,
// so the documents still print it where the file is not on the machine.
class LogoChooser : public QWidget
{
    Q_OBJECT

public:
    // The picture formats offered, all of them together first.
    static const QString FileFilter;

    LogoChooser(TQVDataSource *business, QWidget *parent = nullptr);

    // Asks for a picture file; an empty answer cancels. Tests replace it.
    std::function<QString(QWidget *parent)> chooseFile;

    void btnSelectLogoClick();
    void btnClearClick();
    // Shows the record's logo again; an unreadable one leaves the preview empty.
    void showLogo();
    bool hasPreview() const;

private:
    TQVDataSource *m_business;
    QLabel *m_path;
    QLabel *m_preview;
};
