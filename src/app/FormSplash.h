#pragma once

#include <QWidget>

class QLabel;

// The window shown from the start of the program until the main window is up: the product's
// picture with its internal name and version.
class TfrmSplash : public QWidget
{
    Q_OBJECT

public:
    static constexpr QSize DesignSize { 458, 305 };

    explicit TfrmSplash(QWidget *parent = nullptr);

    // Shows the window centred on the screen and paints it at once, without waiting for the loop.
    void showNow();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_name;
    QLabel *m_version;
};
