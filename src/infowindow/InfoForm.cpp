#include "infowindow/InfoForm.h"

InfoForm::InfoForm(QListWidget &historyList, QWidget *parent)
    : QDialog(parent), m_historyList(historyList)
{
}

InfoForm::~InfoForm() = default;
