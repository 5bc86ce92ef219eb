{"profile":1,"program":"Mirask 09-2002","date":"2024-05-01T12:00:00Z","configuration":"conf.cfg","start_category":"SATZ","utf8":false,"suite":"a.suite","files":[{"role":"rules","name":"rules.txt","checksum":"fnv1a64:2222222222222222"}]}
{"item":{"line":1,"text":"alpha beta","grammatical":true,"expected_count":null,"expected_analysis":null},"verdict":"pass","found":{"outcome":"analysed","count":1,"analysis":"<SATZ(AAAA BBBB)>","nodes":3,"time_us":1000},"record":{"version":1,"number":1}}
{"end":{"lines":1,"items":1}}
