// The French word tables: stop words and general words (the verb forms have their own file).
#include "keywords/KxWordTables.h"

namespace kx {

std::vector<std::string> FrenchStopWords()
{
    // French pages carry English navigation words as well, so a few of them stand here too.
    return WordsOf(R"(abord accueil acord afin ah ai ainsi alors apres après assez au aucun
aucune aujourd aujourdhui auquel aussi autant autour autre autres aux auxquelles auxquels avant
avec beaucoup bien bientôt bon bonne ça car ce ceci cela celle celles celui cependant certain
certaine certaines certains ces cest cet cette ceux chacun chacune chaque chez ci cinq cliquez
comme comment contact contacter contre copyright dans dedans dehors déjà deja depuis derrière
dès dessous dessus deux devant donc dont dos douze elle elles email en encore enfin ensuite
entre envers et etc eux fois haut hélas hors html http hui ici il ils je jusqu jusque la là
laquelle le lequel les lesquelles lesquels leur leurs lors lorsque lui ma mais maintenant
malgré me même meme mes moi moins mon ne néanmoins ni nos notre nôtre nous ou où oui outre page
pages par parce parmi pas pendant peu peut-être plupart plus plusieurs pour pourquoi pourtant
près presque puis puisque quand quant quatre que quel quelle quelles quelqu quelque quelques
quels qui quiconque quoi quoique sa sans se selon ses seulement si sien sienne siennes siens
site six soi son sous souvent suivant sur ta tandis tant tard te tel telle telles tels tes
toi ton tôt toujours tous tout toute toutes trè très trois trop tu un une unes uns vers via
voici voilà voila vos votre vôtre vous www with workshop y)");
}

std::vector<std::string> FrenchGeneralWords()
{
    return WordsOf(R"(absolu absolue absolues absolus accès actualité actualités adresse
adresses aide annonce annonces année années article articles association auteur auteurs base
bienvenue bulletin cas catalogue centre chose choses client clients commande compte contenu
contenus copie date dates début détail détails document documents domaine données édition
emploi ensemble entreprise entreprises exemple exemples façon fiche fichier fichiers fin forme
formulaire général générale généraux gratuit gratuite groupe groupes guide histoire idée idées
image images index information informations jour jours lettre lettres lien liens liste listes
livre livres lieu manière membre membres menu message messages mois monde mot mots nom noms
nombre nouveau nouveaux nouvelle nouvelles numéro objet partie parties personne personnes
place plan point points présentation prix problème problèmes produit produits programme
programmes projet projets question questions recherche référence références retour rubrique
rubriques résultat résultats service services sites société sujet sujets suite système
systèmes tableau temps texte textes titre titres type types version ville volume volumes vue
web)");
}

} // namespace kx
