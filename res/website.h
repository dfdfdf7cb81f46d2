/* The maker's web site: the one address that the setup names, opens and registers. */
#pragma once
#define ORV_WEBSITE "http://www.orvandelsys.com"
