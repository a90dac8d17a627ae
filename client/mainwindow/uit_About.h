#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;
class QPushButton;
class LinkLabel;

// The about box: product, version, legal notice and the support link.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);

    static const QString SupportAddress;

    QPixmap ProgramIcon; // loaded for the product's picture, not displayed
    QLabel *ProductName;
    QLabel *Version;
    QLabel *Copyright;
    QLabel *Phone;
    LinkLabel *lblLink;
    QPushButton *OKButton;

protected:
    void showEvent(QShowEvent *event) override;
};
