#include "varin4.h"

Varin4::Varin4() : Form(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("Varin4"));
}

void Varin4::Form_Load()
{
    Skin1.ApplySkin(this);
}
