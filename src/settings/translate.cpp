#include "settings/translate.h"

#include <array>

namespace vantora {

namespace {

inline constexpr int kCzech = 1;

// Keys keep their blanks, case and spelling exactly: callers pass these very texts.
constexpr std::array<TranslationPair, 69> kTable{{
    {"Rotator 1 position:", "Rotátor 1 pozice:"},
    {"Rotator 2 position:", "Rotátor 2 pozice:"},
    {"Setpoint:", "Zvolená pozice:"},
    {"Presets", "Předvolby"},
    {"File", "Soubor"},
    {"Exit", "Konec"},
    {"View", "Zobrazení"},
    {"Settings", "Nastavení"},
    {"Help", "Nápověda"},
    {"About", "O aplikaci"},
    {"Map zoom", "Zoom mapy"},
    {"Preferences", "Možnosti"},
    {"Control unit", "Řídicí jednotka"},
    {"Magnetic sensors", "Magnetická čidla"},
    {" Name ( callsign ) ", " Jméno (volací znak)"},
    {" Home locator ", " Lokátor "},
    {"Cancel", "Storno"},
    {"Num", "Číslo"},
    {"Name", "Jméno"},
    {"Azimuth", "Azimut"},
    {"Elevation", "Elevace"},
    {"Basic", "Základní"},
    {" MoonSked path ", " MoonSked cesta "},
    {" WSJT path ", " WSJT cesta "},
    {"Writing...", "Zapisuji..."},
    {"Wrong value", "Chybná hodnota"},
    {"Status reading...", "Načítám stav..."},
    {"Write", "Zapsat"},
    {"Ready", "Připraven"},
    {"Control unit settings", "Nastavení řídicí jednotky"},
    {"Magnetic sensor 1 ID:", "Magnetické čidlo 1 ID:"},
    {"Magnetic sensor 2 ID:", "Magnetické čidlo 2 ID:"},
    {" RS-485 bus ", " Sběrnice RS-485 "},
    {" Rotator 1 - Azimuth ", " Rotátor 1 - Azimut "},
    {" Rotator 1 ", " Rotátor 1 "},
    {" Rotator 2 ", " Rotátor 2 "},
    {" Display ", " Displej "},
    {"16 chars", "16 znaků"},
    {"20 chars", "20 znaků"},
    {"Automation sensitivity [°]:", "Necitlivost automatiky [°]:"},
    {"Rotational inertia [°]:", "Setrvačnost [°]:"},
    {"Rotational inertia - time [s]:", "Setrvačnost - čas [s]:"},
    {"Position of limit switch [°]:", "Koncový spínač - pozice [°]:"},
    {"Maximum elevation [°]:", "Maximální elevace:"},
    {"(azimuth only)", "(pouze azimut)"},
    {"(elevation only)", "(pouze elevace)"},
    {"ID sucessfully changed", "ID úspěšně změněna"},
    {"Sucessfully writed", "Zápis byl úspěšný"},
    {"Display changed", "Displej změnen"},
    {"Sucessfully changed", "Změna byla úspěšná"},
    {"Error", "Chyba"},
    {"Sensors calibration", "Kalibrace čidel"},
    {"Sensor position reset", "Vynulování pozice čidla"},
    {"Sensor inverting", "Změna smyslu otáčení"},
    {"Write position", "Zápis pozice"},
    {"Compact H", "Zmenšené H"},
    {"Compact V", "Zmenšené V"},
    {"No answer from the control unit", "Řídicí jednotka neodpovídá"},
    {"Port %1 lost", "Port %1 ztracen"},
    {"Unable to open port", "Port nelze otevřít"},
    {"Other port…", "Jiný port…"},
    {"Serial ports", "Sériové porty"},
    {"Device", "Zařízení"},
    {"Description", "Popis"},
    {"Manufacturer", "Výrobce"},
    {"Serial number", "Sériové číslo"},
    {"Open as COM %1", "Otevřít jako COM %1"},
    {"Close", "Zavřít"},
    {"No serial port found", "Žádný sériový port nenalezen"},
}};

// Texts added since: looked up after the table above, which stays as it is.
constexpr TranslationPair kAddedTable[] = {
    {"Network", "Síť"},
    {" Hamlib rotctld server ", " Server Hamlib rotctld "},
    {"Enabled", "Zapnuto"},
    {"Listen on:", "Naslouchat na:"},
    {"Only this computer", "Pouze tento počítač"},
    {"All network interfaces", "Všechna síťová rozhraní"},
    {"Port:", "Port:"},
    {"Status:", "Stav:"},
    {" TCP server ($00, $01) ", " TCP server ($00, $01) "},
    {"Listening on %1", "Naslouchá na %1"},
    {"Cannot listen on %1: %2", "Nelze naslouchat na %1: %2"},
    {"Switched off", "Vypnuto"},
    {" N1MM Logger+ rotor datagrams (UDP) ", " Datagramy rotátoru N1MM Logger+ (UDP) "},
    {" PstRotator-style commands (UDP) ", " Příkazy ve stylu PstRotator (UDP) "},
    {"Rotor name:", "Název rotátoru:"},
    {"every rotor name", "libovolný název rotátoru"},
    {"Status port:", "Port pro stav:"},
    {"Accept from:", "Přijímat od:"},
    {"anyone (or 192.168.1.0/24)", "kohokoli (nebo 192.168.1.0/24)"},
    {"\"Accept from\" is not an IPv4 address or subnet", "„Přijímat od“ není adresa ani podsíť IPv4"},
    // One owner per serial port: the port is held by another program.
    {"Port busy: %1", "Port je obsazen: %1"},
    // Hostile clients: a subnet with host bits, the N1MM port shared on request.
    {"\"Accept from\" has address bits set beyond its prefix length (write the subnet's first address)",
     "„Přijímat od“ má nastavené bity adresy za délkou prefixu (zapište první adresu podsítě)"},
    {"Share the port with other programs (any local user could then read the datagrams)",
     "Sdílet port s jinými programy (datagramy pak může číst kterýkoli místní uživatel)"},
    // The Network window: two listeners on one port
    {"%1 port %2 is also used by %3", "%1 port %2 používá také %3"},
    // "Other port…": a device path of any kind, checked before it is opened
    {"Device path:", "Cesta k zařízení:"},
    {"Type a device path, or choose a port from the list", "Zadejte cestu k zařízení nebo vyberte port ze seznamu"},
    {"%1 does not exist", "%1 neexistuje"},
    {"%1 is not a serial port or terminal", "%1 není sériový port ani terminál"},
    {"%1 cannot be opened: no permission", "%1 nelze otevřít: chybí oprávnění"},
    {"%1 cannot be opened", "%1 nelze otevřít"},
    // Built-in Moon and Sun tracking, and the map's hint for a home outside it
    {"Moon (built-in)", "Měsíc (vestavěný)"},
    {"Sun (built-in)", "Slunce (vestavěné)"},
    {"Moon:", "Měsíc:"},
    {"Sun:", "Slunce:"},
    {"Home is outside this map: View, Map zoom, World", "Domov je mimo tuto mapu: Zobrazení, Zoom mapy, World"},
    // The MQTT bridge: its Network window section and status line.
    {" MQTT broker ", " Broker MQTT "},
    {"Host:", "Hostitel:"},
    {"User:", "Uživatel:"},
    {"Password:", "Heslo:"},
    {"Use TLS", "Použít TLS"},
    {"CA file:", "Soubor CA:"},
    {"the system's certificates", "certifikáty systému"},
    {"Browse…", "Procházet…"},
    {"Topic prefix:", "Předpona témat:"},
    {"Home Assistant discovery", "Zjišťování pro Home Assistant"},
    {"CA certificate (PEM)", "Certifikát CA (PEM)"},
    {"PEM files (*.pem *.crt)", "Soubory PEM (*.pem *.crt)"},
    {"All files (*)", "Všechny soubory (*)"},
    {"Connecting to %1", "Připojování k %1"},
    {"Connected to %1", "Připojeno k %1"},
    {"Reconnecting in %1 s: %2", "Nové připojení za %1 s: %2"},
    {"Not connecting: %1", "Nepřipojuje se: %1"},
    {"connection refused", "spojení odmítnuto"},
    {"host not found", "hostitel nenalezen"},
    {"the broker does not answer", "broker neodpovídá"},
    {"connection lost", "spojení ztraceno"},
    {"the broker refused the user name or password", "broker odmítl uživatelské jméno nebo heslo"},
    {"the broker refused access", "broker odmítl přístup"},
    {"TLS failed", "TLS selhalo"},
    {"cannot read the CA file", "soubor CA nelze přečíst"},
    {"the topic prefix is not valid", "předpona témat není platná"},
    {"the client ID is not valid", "ID klienta není platné"},
    // The web console: the browser page's texts and the Network window's section.
    {"Vantora web console", "Webová konzole Vantora"},
    {"Password", "Heslo"},
    {"Log in", "Přihlásit"},
    {"Log out", "Odhlásit"},
    {"Wrong password", "Chybné heslo"},
    {"Too many attempts. Try again later.", "Příliš mnoho pokusů. Zkuste to později."},
    {"Connecting…", "Připojuji…"},
    {"Connection lost. Reconnecting…", "Spojení ztraceno. Znovu se připojuji…"},
    {"Operator", "Operátor"},
    {"Viewer: commands are disabled", "Divák: příkazy jsou vypnuty"},
    {"Target", "Cíl"},
    {"Go", "Otočit"},
    {"Hold to turn", "Otáčet držením"},
    {"CW", "Doprava"},
    {"CCW", "Doleva"},
    {"Up", "Nahoru"},
    {"Down", "Dolů"},
    {"Consoles connected:", "Připojené konzole:"},
    {"Last command:", "Poslední příkaz:"},
    {"from", "od"},
    {"Desktop", "Počítač"},
    {"TCP", "TCP"},
    {"rotctld", "rotctld"},
    {"N1MM", "N1MM"},
    {"PST", "PST"},
    {"Web", "Web"},
    {"MQTT", "MQTT"},
    {"not allowed", "nepovoleno"},
    {"too many commands", "příliš mnoho příkazů"},
    {"bad command", "chybný příkaz"},
    {"not a target", "není cíl"},
    {" Web console ", " Webová konzole "},
    {"Certificate (PEM):", "Certifikát (PEM):"},
    {"Key (PEM):", "Klíč (PEM):"},
    {"Choose…", "Vybrat…"},
    {"Set operator password…", "Nastavit heslo operátora…"},
    {"Set viewer password…", "Nastavit heslo diváka…"},
    {"Operator password", "Heslo operátora"},
    {"Viewer password", "Heslo diváka"},
    {"New password:", "Nové heslo:"},
    {"Repeat:", "Znovu:"},
    {"An empty viewer password removes viewer access.", "Prázdné heslo diváka zruší přístup diváků."},
    {"The passwords do not match", "Hesla se neshodují"},
    {"The password needs at least 8 characters", "Heslo musí mít alespoň 8 znaků"},
    {"Viewer access removed", "Přístup diváků zrušen"},
    {"The password could not be stored", "Heslo nelze uložit"},
    {"Set an operator password first", "Nejprve nastavte heslo operátora"},
    {"Cannot read %1: %2", "Nelze načíst %1: %2"},
    {"Port %1, set by %2", "Port %1, nastaven proměnnou %2"},
    {"not a PEM certificate", "není certifikát PEM"},
    {"not a PEM private key", "není soukromý klíč PEM"},
    {"TLS is not available", "TLS není k dispozici"},
};

}  // namespace

std::span<const TranslationPair> TranslationTable()
{
    return kTable;
}

std::span<const TranslationPair> AddedTranslationTable()
{
    return kAddedTable;
}

std::string Translate(int language, std::string_view english)
{
    if (language != kCzech) {
        return std::string(english);
    }
    std::string_view result = english;
    for (const TranslationPair& pair : kTable) {
        if (pair.english == english) {
            result = pair.czech;
        }
    }
    if (result == english) {
        for (const TranslationPair& pair : kAddedTable) {
            if (pair.english == english) {
                result = pair.czech;
                break;
            }
        }
    }
    return std::string(result);
}

}  // namespace vantora
