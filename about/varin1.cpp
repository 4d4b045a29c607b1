#include "varin1.h"

Varin1::Varin1() : Form(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("Varin1"));
}

void Varin1::Form_Load()
{
    Skin1.ApplySkin(this);
}
