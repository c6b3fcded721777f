// The French verb forms: irregular verbs written out, and regular verbs conjugated from their
// stems by the patterns of their group (present, imperfect, future, conditional, simple past,
// subjunctive, participles and infinitive).
#include "keywords/KxWordTables.h"

#include <string_view>

namespace kx {
namespace {

void AddAll(std::vector<std::string>& forms, std::string_view list)
{
    for (std::string& w : WordsOf(list))
        forms.push_back(std::move(w));
}

// A pattern is a blank-separated list of endings; each ending is added to each stem. A stem
// list pairs a prefix with the stem so that families (venir, devenir, revenir) share one
// pattern.
void Conjugate(std::vector<std::string>& forms, std::string_view stems, std::string_view endings)
{
    std::vector<std::string> stemList = WordsOf(stems);
    std::vector<std::string> endingList = WordsOf(endings);
    for (const std::string& stem : stemList) {
        for (const std::string& ending : endingList)
            forms.push_back(ending == "-" ? stem : stem + ending);
    }
}

// Regular verbs in -er. Stems ending in c or g take ç or ge before a and o.
void ConjugateEr(std::vector<std::string>& forms, std::string_view infinitives)
{
    static constexpr std::string_view soft = "ons ais ait aient ai as a âmes âtes ant";
    static constexpr std::string_view other = "e es ent ez ions iez erai eras era erons erez "
                                              "eront erais erait erions eriez eraient èrent é ée "
                                              "és ées er";
    for (std::string& inf : WordsOf(infinitives)) {
        std::string stem = inf.substr(0, inf.size() - 2);
        std::string softStem = stem;
        if (!stem.empty() && stem.back() == 'c')
            softStem = stem.substr(0, stem.size() - 1) + Latin1FromUtf8("ç");
        else if (!stem.empty() && stem.back() == 'g')
            softStem = stem + "e";
        for (const std::string& e : WordsOf(soft))
            forms.push_back(softStem + e);
        for (const std::string& e : WordsOf(other))
            forms.push_back(stem + e);
    }
}

} // namespace

std::vector<std::string> FrenchVerbForms()
{
    std::vector<std::string> forms;
    forms.reserve(9000);

    // être, avoir, aller, faire, devoir, falloir, pouvoir, vouloir, savoir, voir, croire.
    AddAll(forms, R"(a ai aie aient aies ait as aura aurai auraient aurais aurait auras aurez
auriez aurions aurons auront avaient avais avait avez aviez avions avoir avons ayant ayez ayons
eu eue eues eûmes eurent eus eut eûtes ont)");
    AddAll(forms, R"(être suis es est sommes êtes sont étais était étions étiez étaient serai
seras sera serons serez seront serais serait serions seriez seraient fus fut fûmes fûtes furent
sois soit soyons soyez soient fût été étant)");
    AddAll(forms, R"(aller vais vas va allons allez vont allais allait allions alliez allaient
irai iras ira irons irez iront irais irait irions iriez iraient alla allèrent aille ailles
aillent allé allée allés allées allant)");
    AddAll(forms, R"(faire fais fait faisons faites font faisais faisait faisions faisiez
faisaient ferai feras fera ferons ferez feront ferais ferait ferions feriez feraient fis fit
firent fasse fasses fassions fassiez fassent faits faisant refaire refait défaire défait)");
    AddAll(forms, R"(devoir dois doit devons devez doivent devais devait devions deviez devaient
devrai devras devra devrons devrez devront devrais devrait devrions devriez devraient dut durent
doive doives dû due dus dues falloir faut fallait faudra faudrait fallut faille fallu)");
    AddAll(forms, R"(pouvoir peux peut pouvons pouvez peuvent pouvais pouvait pouvions pouviez
pouvaient pourrai pourras pourra pourrons pourrez pourront pourrais pourrait pourrions pourriez
pourraient purent puisse puisses puissions puissiez puissent pu pouvant)");
    AddAll(forms, R"(vouloir veux veut voulons voulez veulent voulais voulait voulions vouliez
voulaient voudrai voudras voudra voudrons voudrez voudront voudrais voudrait voudrions voudriez
voudraient voulut voulurent veuille veuillez veuillent voulu voulant)");
    AddAll(forms, R"(savoir sais sait savons savez savent savais savait savions saviez savaient
saurai sauras saura saurons saurez sauront saurais saurait saurions sauriez sauraient sut surent
sache saches sachions sachiez sachent su sue sachant)");
    AddAll(forms, R"(voir vois voit voyons voyez voient voyais voyait voyions voyiez voyaient
verrai verras verra verrons verrez verront verrais verrait verrions verriez verraient vit virent
voie voies vu vus voyant revoir revoit prévoir prévoit prévu)");
    AddAll(forms, R"(croire crois croit croyons croyez croient croyais croyait croyions croyiez
croyaient croirai croira croirons croirez croiront croirais croirait crut crurent croie cru crue
crus croyant)");

    // venir and tenir and their families.
    static constexpr std::string_view venirEndings =
        "enir iens ient enons enez iennent enais enait enions eniez enaient iendrai iendras "
        "iendra iendrons iendrez iendront iendrais iendrait iendrions iendriez iendraient int "
        "inrent ienne iennes enu enue enus enues enant";
    Conjugate(forms, "v dev rev conv prév souv interv parv surv t obt maint cont ret sout "
                     "appart dét abst entret",
              venirEndings);

    // prendre, mettre, connaître and paraître, with their families.
    Conjugate(forms, "pr appr compr entrepr repr surpr",
              "endre ends end enons enez ennent enais enait enions eniez enaient endrai "
              "endras endra endrons endrez endront endrais endrait endrions endriez endraient it "
              "irent enne ennes is ise ises enant");
    Conjugate(forms, "m adm comm perm prom rem soum transm om dém",
              "ettre ets et ettons ettez ettent ettais ettait ettions ettiez ettaient ettrai "
              "ettras ettra ettrons ettrez ettront ettrais ettrait it irent ette ettes is ise "
              "ises ettant");
    Conjugate(forms, "conn reconn méconn par appar dispar compar repar",
              "aître ais aît aissons aissez aissent aissais aissait aissions aissiez "
              "aissaient aîtrai aîtra aîtrons aîtrez aîtront aîtrais aîtrait urent aisse u ue "
              "us ues aissant");

    // écrire and lire, vivre, conduire, and the -vrir / -frir verbs.
    Conjugate(forms, "écr décr inscr prescr souscr transcr",
              "ire is it ivons ivez ivent ivais ivait ivions iviez ivaient irai iras ira irons "
              "irez iront irais irait ivit ivirent ive ives its ite ites ivant");
    Conjugate(forms, "l rel él",
              "ire is it isons isez isent isais isait isions isiez isaient irai ira irons irez "
              "iront irais irait ut urent ise u ue us ues isant");
    Conjugate(forms, "v surv rev",
              "ivre is it ivons ivez ivent ivais ivait ivions iviez ivaient ivrai ivra ivrons "
              "ivrez ivront ivrais ivrait écut écurent écu ivant");
    Conjugate(forms, "condu constru produ tradu détru instru rédu introdu sédu cu",
              "ire is it isons isez isent isais isait isions isiez isaient irai ira irons irez "
              "iront irais irait isit isirent ise ises ite its ites isant");
    Conjugate(forms, "ouv couv découv recouv rouv entrouv off souff",
              "rir re res rons rez rent rais rait rions riez raient rirai rira rirons rirez "
              "riront rirais rirait rit rirent ert erte erts ertes rant");

    // partir, sortir, dormir, servir, sentir, mentir: the stem loses its last consonant in
    // the singular of the present.
    struct Short { const char* stem; const char* consonant; };
    static constexpr Short shortVerbs[] = {
        {"par", "t"}, {"repar", "t"}, {"sor", "t"}, {"ressor", "t"}, {"dor", "m"},
        {"endor", "m"}, {"ser", "v"}, {"desser", "v"}, {"sen", "t"}, {"consen", "t"},
        {"ressen", "t"}, {"pressen", "t"}, {"men", "t"}};
    for (const Short& v : shortVerbs) {
        std::string stem = v.stem;
        forms.push_back(stem + "s");
        forms.push_back(stem + "t");
        Conjugate(forms, stem + v.consonant,
                  "ir ons ez ent ais ait ions iez aient irai iras ira irons irez iront irais "
                  "irait irions iriez iraient it irent e es i ie is ies ant");
    }

    // Regular verbs in -ir (finir) and in -re (vendre).
    Conjugate(forms, R"(fin chois réuss ag bât établ fourn grand rempl réfléch réag obé pun
sais garant invest défin un réun accompl applaud avert nourr roug vieill enrich convert
envah élarg)",
              "ir is it issons issez issent issais issait issions issiez issaient irai iras ira "
              "irons irez iront irais irait irions iriez iraient îmes îtes irent isse isses i ie "
              "ies issant");
    Conjugate(forms, R"(attend défend descend entend perd rend répond vend tend étend prétend
confond fond mord correspond dépend suspend interromp romp)",
              "re s - ons ez ent ais ait ions iez aient rai ras ra rons rez ront rais rait "
              "rions riez raient it irent e es u ue us ues ant");

    // Regular verbs in -er, first the one the table opens with.
    ConjugateEr(forms, R"(abaisser accepter accompagner adorer aider aimer ajouter allumer
annoncer apporter arrêter arriver assurer attacher augmenter avancer baisser brûler cacher
casser cesser changer chanter chercher cliquer commencer compter confirmer consulter contacter
continuer contrôler copier couper coûter créer crier danser décider déclarer demander déposer
désirer dessiner deviner donner écouter effacer embrasser emporter entrer étudier éviter
exister expliquer fermer gagner garder goûter habiter imaginer indiquer informer inviter jouer
laisser laver louer manger manquer marcher monter montrer organiser oublier parler passer
penser porter poser pousser préparer présenter prêter prier proposer publier quitter raconter
ranger regarder remarquer remercier rencontrer rentrer réparer reposer réserver rester
retourner retrouver rêver sauter sembler signer souhaiter télécharger tomber toucher tourner
travailler traverser trouver tuer utiliser valider vérifier visiter voler voter)");
    return forms;
}

} // namespace kx
