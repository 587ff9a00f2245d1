#include "homey/rest/homeyrestclient.h"

HomeyRESTClient::~HomeyRESTClient() = default;
