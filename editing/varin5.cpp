#include "varin5.h"

Varin5::Varin5() : Form(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("Varin5"));
}

void Varin5::Form_Load()
{
    Skin1.ApplySkin(this);
}
