#include "workflow/workflow_texts.h"

#include <array>

namespace workflow {
namespace {

struct Text {
    UINT id;
    std::array<const char*, 4> byLanguage;  // German, English, French, Spanish
};

// Only the German and the English texts are the system's own; French and Spanish are ours.
const Text kTexts[] = {
    {kTextPortActive, {"aktiv", "active", "actif", "activo"}},
    {kTextPortAvailable, {"verfügbar", "available", "disponible", "disponible"}},
    {kTextMeasurandAngle, {"Drehwinkel", "Angle", "Angle", "Ángulo"}},
    {kTextMeasurandSpeed, {"Drehzahl", "Speed", "Vitesse", "Velocidad"}},
    {kTextNotAvailable, {"nicht verfügbar", "not available", "non disponible", "no disponible"}},
    {kTextUnstableConnection,
     {"Die Verbindung zum USB-Gerät ist nicht stabil. Bitte überprüfen Sie auf korrekte Verbindungen.",
      "The connection to the USB-Device is not stable. Please check the connection.",
      "La connexion à l'appareil USB n'est pas stable. Veuillez vérifier les connexions.",
      "La conexión con el dispositivo USB no es estable. Compruebe las conexiones."}},
    {kTextUnitAdu, {"ADU", "ADU", "ADU", "ADU"}},
    {kTextUnitCelsius, {"°C", "°C", "°C", "°C"}},
    {kTextSerialNotAssigned,
     {"<this app> hat mehr als ein kompatibles Gerät gefunden. Die Seriennummer des Ersten ist Null oder "
      "wurde noch nicht vergebenen. Das Programm kann nicht fortgesetzt werden.",
      "<this app> found more than one compatible device. The serial number of the first is zero or has not "
      "yet been assigned. The application cannot continue.",
      "<this app> a trouvé plus d'un appareil compatible. Le numéro de série du premier est nul ou n'a pas "
      "encore été attribué. L'application ne peut pas continuer.",
      "<this app> ha encontrado más de un dispositivo compatible. El número de serie del primero es cero o "
      "aún no se ha asignado. La aplicación no puede continuar."}},
};

int g_languageOffset = 0;

}  // namespace

void SetWorkflowLanguage(int offset) { g_languageOffset = offset; }
int GetWorkflowLanguage() { return g_languageOffset; }

CString WorkflowText(UINT germanId)
{
    const int language = g_languageOffset / 1000;
    if (language < 0 || language > 3) return "@";
    for (const Text& text : kTexts)
        if (text.id == germanId) return text.byLanguage[static_cast<std::size_t>(language)];
    return "@";
}

}  // namespace workflow
