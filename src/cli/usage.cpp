#include "cli/usage.h"

namespace cli {

namespace {
// German, as every text of the program; the options have English aliases, the help stays German.
constexpr std::string_view Text = R"(Aufruf: summenleiter
       summenleiter --liste N
       summenleiter --suche 1|2 --von N [--anzahl K]
       summenleiter --folge 1|2 --bis N

Ohne Optionen öffnet summenleiter sein Fenster. Mit einer der folgenden Optionen
schreibt es sein Ergebnis als Text auf die Standardausgabe, ohne Fenster und ohne
Bildschirm, etwa über ssh oder in eine Pipe.

  --liste N            Die Liste, die das Fenster für n = N zeigt: jede Darstellung
                       von N als Summe aufeinanderfolgender positiver Zahlen, dann
                       die halbierbaren Sequenzen. N darf Nachkommastellen haben.
  --suche 1|2 --von N  Die nächste Zahl nach N mit mindestens einer (1) oder zwei (2)
                       halbierbaren Sequenzen, wie die Suchknöpfe des Fensters sie
                       finden. Jede Zeile: die Zahl, die Anzahl ihrer Darstellungen
                       und die Anzahl ihrer halbierbaren Sequenzen.
  --anzahl K           Mit --suche: die nächsten K solchen Zahlen statt einer.
  --folge 1|2 --bis N  Jede Zahl von 1 bis N mit mindestens einer (1) oder zwei (2)
                       halbierbaren Sequenzen, eine Zeile je Zahl: Index und Zahl,
                       wie Tabellen von Zahlenfolgen sie aufführen.
  --help, -h           Diese Hilfe.

Englische Namen: --list, --search, --from, --count, --sequence, --to.
Ein Wert folgt der Option nach einem Leerzeichen oder nach "=" (--von=105).

N liegt gerundet im Bereich von -2147483648 bis 2147483647; bei --suche und
--folge ist N ganz. Fehlerhafte Angaben meldet summenleiter in einer Zeile auf der
Standardfehlerausgabe und endet mit dem Code 2, ohne etwas auszugeben. Erreicht
eine Suche 2147483647, bevor sie K Zahlen gefunden hat, endet sie mit dem Code 1.

Beispiele:
  summenleiter --liste 75
  summenleiter --suche 2 --von 75 --anzahl 5
  summenleiter --folge 2 --bis 1000000 > folge.txt
)";
} // namespace

std::string Usage(std::string_view lineEnd)
{
    std::string text;
    for (const char c : Text) {
        if (c == '\n')
            text += lineEnd;
        else
            text += c;
    }
    return text;
}

} // namespace cli
