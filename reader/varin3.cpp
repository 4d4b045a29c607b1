#include "varin3.h"

#include <QComboBox>

Varin3::Varin3() : Form(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("Varin3"));
    Combo1 = new QComboBox(this);
    Combo4 = new QComboBox(this);
}

void Varin3::Form_Load()
{
    Skin1.ApplySkin(this);
}
