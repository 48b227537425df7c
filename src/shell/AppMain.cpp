#include "shell/AppMain.h"

#include "shell/CIni.h"
#include "shell/Form_Main.h"
#include "shell/MessageBox.h"
#include "system/AppPaths.h"

namespace
{
std::unique_ptr<CIni> g_ProductInfo;
}

CIni &ProductInfo()
{
    if (!g_ProductInfo) {
        g_ProductInfo = std::make_unique<CIni>();
        g_ProductInfo->setFileName(
            AppPaths::programFolder() + QStringLiteral("/Data/Parlo_Product.ini"));
    }
    return *g_ProductInfo;
}

QString GetProductKey()
{
    return QStringLiteral("Software\\Mavi Technology\\")
        + ProductInfo().GetSz(QStringLiteral("Product"), QStringLiteral("Section"), QString());
}

std::unique_ptr<Form_Main> Main()
{
    ProductInfo();
    CIni::setWriteFailureHandler([] {
        MessageBox::show(
            CIni::writeFailureText(), MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok);
    });
    auto window = std::make_unique<Form_Main>();
    if (!window->Load())
        return nullptr;
    window->show();
    return window;
}

void ReleaseProgramObjects()
{
    g_ProductInfo.reset();
}
