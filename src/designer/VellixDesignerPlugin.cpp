#include "designer/VellixDesignerPlugin.h"

#include "control/Vellix.h"

#include <QIcon>

VellixDesignerPlugin::VellixDesignerPlugin(QObject *parent)
    : QObject(parent)
{}

QString VellixDesignerPlugin::name() const
{
    return QStringLiteral("Vellix");
}

QString VellixDesignerPlugin::group() const
{
    return QStringLiteral("Vellixon");
}

QString VellixDesignerPlugin::toolTip() const
{
    return QStringLiteral("Uploads files to a course web site");
}

QString VellixDesignerPlugin::whatsThis() const
{
    return QStringLiteral("The Vellix control keeps a course web site on an FTP or SFTP server: "
                          "it uploads files into the current month folder of a course archive "
                          "and rebuilds the archive's catalogue.");
}

QString VellixDesignerPlugin::includeFile() const
{
    return QStringLiteral("control/Vellix.h");
}

QIcon VellixDesignerPlugin::icon() const
{
    return QIcon(QStringLiteral(":/vellixon/vellixon.png"));
}

bool VellixDesignerPlugin::isContainer() const
{
    return false;
}

QWidget *VellixDesignerPlugin::createWidget(QWidget *parent)
{
    auto *control = new Vellix(parent);
    // In Designer the form is being designed, so every property may be set; a program that
    // loads the form at run time (no form editor) gets the control as a running host has it.
    if (m_designer) {
        AmbientProperties ambient = control->ambient();
        ambient.UserMode = false;
        control->setAmbient(ambient);
    }
    return control;
}

bool VellixDesignerPlugin::isInitialized() const
{
    return m_initialized;
}

void VellixDesignerPlugin::initialize(QDesignerFormEditorInterface *core)
{
    m_designer = core != nullptr;
    m_initialized = true;
}

QString VellixDesignerPlugin::domXml() const
{
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"Vellix\" name=\"vellix\"/>\n"
                          "</ui>\n");
}
