// The English word tables: stop words, general words and verbs.
#include "keywords/KxWordTables.h"

namespace kx {

std::vector<std::string> EnglishStopWords()
{
    return WordsOf(R"(a about above across after afterwards again against ago all almost alone
along already also although always am among amongst an and another any anybody anyhow anyone
anything anyway anywhere are aren arent around as at back be became because become becomes becoming
been before beforehand behind being below beside besides between beyond both but by can cannot
cant click co com contact copyright could couldn couldnt did didn didnt do does doesn doesnt doing done don dont down
dr during each eg eight either eleven else elsewhere email enough etc even ever every everyone
everything everywhere except faq fax few fifteen fifty first five for former formerly forty
four from further get gets getting got had hadnt has hasn hasnt have haven havent having he hed hell
her here hereafter hereby herein hers herself hes him himself his home how however href htm html
http hundred i id ie if ill im in inc indeed into is isn isnt it itd itll its itself ive just
last later latter least less let lets ll ltd many may maybe me meanwhile might mine more
moreover most mostly mr mrs ms much must my myself namely neither never nevertheless new next
nine no nobody none noone nor not nothing now nowhere of off often oh ok on once one ones only
onto or org other others otherwise ought our ours ourselves out over own page pages per
perhaps please previous rather re really same second see seem seemed seeming seems seven
several shall she shed shell shes should shouldnt since six site sixty so some somehow someone
something sometime sometimes somewhere still such tel ten than that thats the their theirs
them themselves then thence there thereafter thereby therefore therein theres these they theyd
theyll theyre theyve third thirty this those though thousand three through throughout thru thus
to together too top toward towards twelve twenty two under unless unlike until up upon us
very via vs was wasn wasnt we web webmaster website wed welcome well went were weren werent weve what
whatever whats when whence whenever where whereafter whereas whereby wherein wheres whereupon
wherever whether which while whither who whoever whole whom whos whose why will with within
without wont would wouldnt www yes yet you youd youll your youre yours yourself yourselves
youve zip zip/postal)");
}

std::vector<std::string> EnglishGeneralWords()
{
    return WordsOf(R"(abstract abstracts access account accounts address addresses advice area
areas article articles back background bottom box business case cases category center centre
change changes chapter chapters click company comment comments content contents copy course
data date dates day days description detail details directory document documents download
downloads edition end entry event events example examples fact facts feature features field
file files form forms free full general group groups guide help history homepage idea ideas
image images index info information introduction issue issues item items kind level levels
line lines link links list lists login lot lots main management manner matter member members
menu message messages method methods middle month months name names news note notes number
numbers office offer online order orders overview part parts people person photo photos
picture pictures place places point points policy position post posts price prices privacy
problem problems product products program programs project projects purpose question questions
range reason reasons record records reference references report reports request research
resource resources result results review reviews right rights search section sections service
services set side sign sites size software sort source sources staff start state status
story subject subjects summary support system systems table tables terms text thing things time
times title titles today topic topics total type types update updates user users value values
version view views way ways week weeks word words work workshop yellow young)");
}

std::vector<std::string> EnglishVerbs()
{
    return WordsOf(R"(accept accepts achieve achieves add adds agree agrees allow allows appear
appears apply applies arrive arrives ask asks became become becomes began begin begins believe
believes belong belongs bought bring brings brought build builds built buy buys came carried
carries carry catch caught choose chooses chose chosen come comes consider considers continue
continues create creates decide decides describe describes die dies does doing drew drive
drives driven drove eat eats enable enables ensure ensures explain explains fall falls feel
feels fell felt find finds follow follows forget forgets forgot found gave get gets give given
gives go goes going gone got grew grow grows happen happens hear heard hears held hold holds
include includes keep keeps kept knew know known knows lay lead leads learn learns leave
leaves led left lie lies lose loses lost made make makes making mean means meant meet meets met
paid pay pays provide provides put puts ran reach reaches read reads receive receives remain
remains remember remembers require requires run runs said saw say says see seen sees sell
sells send sends sent show shown shows sit sits speak speaks spend spends spent spoke stand
stands stood suggest suggests take taken takes tell tells think thinks thought told took tried
tries try understand understands understood use uses want wants wish wishes won write writes
wrote)");
}

} // namespace kx
